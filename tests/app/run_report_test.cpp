// The report of a run replaces the result file whole or not at all.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/run_command.h"
#include "message_recorder.h"

namespace fs = std::filesystem;

namespace {

const std::vector<std::string> CanNotOpen = {"File can not open!", "File can not open!",
                                             "Can not write result to file"};
const std::string Previous = "the previous report\r\n";

class RunReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("chung-report-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    ::chmod(dir_.c_str(), 0755);
    fs::remove_all(dir_);
  }

  RunOutcome RunInto(const std::string& resultFile) {
    RunTexts texts = InitialRunTexts();
    texts[InputCount] = resultFile;
    messages_.Shown.clear();
    return RunCommand(*state_, texts, InitialUnitIndex, messages_);
  }
  static std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  int Entries() const {
    return static_cast<int>(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
  }

  std::unique_ptr<ModelState> state_ = std::make_unique<ModelState>();
  MessageRecorder messages_;
  fs::path dir_;
};

TEST_F(RunReportTest, TargetsThatCanNotBeWrittenShowTheSameMessagesAndStayUntouched) {
  fs::create_directory(dir_ / "folder");
  std::ofstream(dir_ / "read-only.txt") << Previous;
  ::chmod((dir_ / "read-only.txt").c_str(), 0444);
  std::string withNul = (dir_ / "nul").string() + std::string(1, '\0') + "tail";

  std::vector<std::string> targets = {(dir_ / "missing" / "result.txt").string(), (dir_ / "folder").string(),
                                      (dir_ / std::string(300, 'n')).string(), withNul};
  if (::geteuid() != 0) targets.push_back((dir_ / "read-only.txt").string());  // root writes it anyway
  for (const std::string& target : targets) {
    const RunOutcome outcome = RunInto(target);
    EXPECT_EQ(outcome.Result, RunResult::Completed) << target;
    EXPECT_EQ(messages_.Shown, CanNotOpen) << target;
  }
  EXPECT_TRUE(fs::is_directory(dir_ / "folder"));
  EXPECT_TRUE(fs::is_empty(dir_ / "folder"));
  EXPECT_EQ(Read(dir_ / "read-only.txt"), Previous);
  EXPECT_EQ(Entries(), 2);  // folder and read-only.txt: nothing created, nothing left behind
}

TEST_F(RunReportTest, AWriteThatFailsEndsTheRunAndKeepsThePreviousReport) {
  // A file-size limit makes the disk "full" after 4 KiB; the report is larger.
  const fs::path target = dir_ / "result.txt";
  std::ofstream(target, std::ios::binary) << Previous;
  struct sigaction ignore {}, previousAction {};
  ignore.sa_handler = SIG_IGN;
  ::sigaction(SIGXFSZ, &ignore, &previousAction);
  struct rlimit limit {};
  ::getrlimit(RLIMIT_FSIZE, &limit);
  const rlimit saved = limit;
  limit.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
  const RunOutcome outcome = RunInto(target.string());
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::sigaction(SIGXFSZ, &previousAction, nullptr);

  EXPECT_EQ(outcome.Result, RunResult::Failed);
  EXPECT_EQ(outcome.Message, "Can not write result file " + target.string() + ": File too large");
  EXPECT_TRUE(messages_.Shown.empty());
  EXPECT_EQ(Read(target), Previous);
  EXPECT_EQ(Entries(), 1);

  // The same run without the limit replaces the file whole.
  ASSERT_EQ(RunInto(target.string()).Result, RunResult::Completed);
  EXPECT_TRUE(Read(target).ends_with("(kW) =  23.4\r\n\r\n"));
  EXPECT_EQ(Entries(), 1);
}

}  // namespace
