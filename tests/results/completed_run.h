#pragma once
// A whole run through the run command, its report read back: what the
// summary and the exports are checked against.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/run_command.h"

class RecordedMessages : public UserMessages {
 public:
  void ShowMessage(const std::string& text) override { Shown += text + "\n"; }
  std::string Shown;
};

struct CompletedRun {
  std::unique_ptr<ModelState> State = std::make_unique<ModelState>();
  std::string Report;
};

// Runs the initial texts with each (index, text) setting replacing its input
// and returns the state and the report's bytes.
inline CompletedRun RunWithSettings(const std::vector<std::pair<int, std::string>>& settings) {
  namespace fs = std::filesystem;
  const fs::path report =
      fs::temp_directory_path() / ("chung-results-" + std::to_string(::getpid()) + ".txt");
  RunTexts texts = InitialRunTexts();
  for (const auto& [index, text] : settings) texts[index] = text;
  texts[InputCount] = report.string();
  CompletedRun run;
  RecordedMessages messages;
  const RunOutcome outcome = RunCommand(*run.State, texts, InitialUnitIndex, messages);
  EXPECT_EQ(outcome.Result, RunResult::Completed) << outcome.Message << messages.Shown;
  std::ifstream in(report, std::ios::binary);
  run.Report.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  fs::remove(report);
  return run;
}

// The same with at most one input replaced (none when index is -1).
inline CompletedRun RunWith(int index = -1, const std::string& text = "") {
  if (index < 0) return RunWithSettings({});
  return RunWithSettings({{index, text}});
}

inline constexpr int OutputRateIndex = 10;
