// SPDX-License-Identifier: GPL-3.0-or-later
// chung-batch's arguments: the input, split at NUL bytes, is the argument
// list of RunBatch, run in a private folder that holds a good data file
// (data.txt), a short one (short.txt) and the two shard files of a small
// study (s1.csv, s2.csv) for --merge. Arguments that name a path outside the
// folder (a leading slash or "..") are skipped, so that nothing outside it is
// read or written. What must hold: the exit status is one the tool documents,
// every message is a whole line, a status of 0 after a run comes with a
// complete report, no temporary file stays behind and no text says inf or
// nan. Inputs whose arguments parse to more work than a few thousand runs
// (study cases, times the runs of a search and of an operating point) are
// skipped, so that --vary ranges, --find and --operating-point are fuzzed
// at a bounded cost. The harness moves into its folder, so libFuzzer must be
// given absolute corpus paths, as scripts/fuzz does.

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/batch_options.h"
#include "cli/batch_run.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_folder.h"
#include "model/input_fields.h"
#include "results/study_plan.h"

namespace fs = std::filesystem;

namespace {

std::string DataText(int lines) {
  std::string text;
  for (int line = 1; line <= lines; ++line) {
    const std::string value = line <= InputCount ? InputFields[line - 1].InitialText : "1";
    text += "Line " + std::to_string(line) + " = " + value + "\r\n";
  }
  return text;
}

// The data files and the shards as they were, and nothing else. The shards
// are made once, by the tool itself, the first time the folder is set.
void ResetFolder() {
  static std::string shards[2];
  for (const fs::directory_entry& entry : fs::directory_iterator(FuzzFolder())) fs::remove_all(entry.path());
  std::ofstream(FuzzFolder() / "data.txt", std::ios::binary) << DataText(29);
  std::ofstream(FuzzFolder() / "short.txt", std::ios::binary) << DataText(28);
  for (int k = 0; k < 2; ++k) {
    const std::string name = "s" + std::to_string(k + 1) + ".csv";
    if (shards[k].empty()) {
      std::ostringstream out, err;
      RunBatch({"data.txt", "--study", name, "--vary", "ScrewSpeed=30,40", "--vary", "OutputRate=200,300", "--shard",
                std::to_string(k + 1) + "/2", "-j", "1"},
               out, err, '.');
      std::ifstream in(FuzzFolder() / name, std::ios::binary);
      std::ostringstream bytes;
      bytes << in.rdbuf();
      shards[k] = bytes.str();
    } else {
      std::ofstream(FuzzFolder() / name, std::ios::binary) << shards[k];
    }
  }
}

// Whether a path stays inside the folder.
bool InsideFolder(const std::string& arg) { return !arg.starts_with('/') && arg.find("..") == std::string::npos; }

// The runs the arguments ask for, roughly: study cases, times a search's
// runs, times an operating point's; 0 when they do not parse (cheap).
long double RunsAsked(const std::vector<std::string>& args) {
  BatchOptions options;
  std::string usage;
  if (!ParseBatchArguments(args, options, usage, '.')) return 0;
  long double runs = options.StudyFile ? static_cast<long double>(StudyCaseCount(options.Plan)) : 1.0L;
  if (options.Find) runs *= 100;
  if (options.OperatingPoint) runs *= 100;
  return runs;
}

bool WholeLines(const std::string& text) { return text.empty() || text.back() == '\n'; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> args;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  if (!bytes.empty()) {
    std::istringstream pieces(bytes);
    for (std::string arg; std::getline(pieces, arg, '\0');) args.push_back(arg);
  }
  if (args.size() > 12) return 0;
  for (const std::string& arg : args) {
    if (!InsideFolder(arg)) return 0;
  }
  if (RunsAsked(args) > 3000) return 0;

  static const bool entered = [] {
    fs::current_path(FuzzFolder());  // relative names stay in the folder
    return true;
  }();
  (void)entered;
  ResetFolder();

  std::ostringstream out, err;
  const int status = RunBatch(args, out, err, '.');
  FUZZ_CHECK(status == BatchExitCompleted || status == BatchExitRejected || status == BatchExitFailed ||
                 status == BatchExitDataFileRefused || status == BatchExitUsage || status == BatchExitWarnings,
             "an undocumented exit status");
  FUZZ_CHECK(WholeLines(out.str()) && WholeLines(err.str()), "a message is not a whole line");
  // An argument echoed in a message may hold the letters: then nothing tells.
  const bool echoes = std::any_of(args.begin(), args.end(), [](std::string arg) {
    for (char& c : arg) c = static_cast<char>(c | 0x20);
    return arg.find("inf") != std::string::npos || arg.find("nan") != std::string::npos;
  });
  for (const std::string& text : {out.str(), err.str()}) {
    if (echoes) break;
    // As printf and iostreams write a figure.
    for (const char* form : {" inf ", " nan ", " -inf ", "factor inf", " inf/", "/ inf", "(inf", "(nan"}) {
      FUZZ_CHECK(text.find(form) == std::string::npos, "a figure printed as inf or nan");
    }
  }
  for (const fs::directory_entry& entry : fs::directory_iterator(FuzzFolder())) {
    // A result file may be given a temporary file's name; any other such name is left over.
    const std::string name = entry.path().filename().string();
    const bool named = std::find(args.begin(), args.end(), name) != args.end();
    FUZZ_CHECK(named || !(name.starts_with(".chung-") && name.ends_with(".tmp")), "a temporary file was left behind");
  }
  if (status == BatchExitCompleted && out.str().starts_with("Report written to ")) {
    // Only warnings and the stage's notes may accompany a written report.
    std::istringstream lines(err.str());
    for (std::string line; std::getline(lines, line);) {
      FUZZ_CHECK(line.starts_with("warning: ") || line.starts_with("note: "), "a written report with a complaint");
    }
  }
  return 0;
}
