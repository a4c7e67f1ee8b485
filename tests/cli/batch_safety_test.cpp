// What chung-batch must never do: overwrite its own data file, leave a mixed
// or half-written report, or claim success on a stdout that took nothing.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "batch_test_support.h"
#include "cli/batch_run.h"

namespace fs = std::filesystem;

namespace {

using BatchSafety = BatchTempDir;

const std::string Examples = CHUNG_EXAMPLES_DIR;

int Shell(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Batch() { return std::string("'") + CHUNG_BATCH_EXECUTABLE + "'"; }

// Files whose names mark them as a replacement's temporary file.
int TemporaryFiles() {
  int count = 0;
  for (const auto& entry : fs::directory_iterator(".")) count += entry.path().filename().string().starts_with(".chung-");
  return count;
}

TEST_F(BatchSafety, AResultFileThatIsTheDataFileIsRefusedBeforeAnything) {
  fs::copy_file(Examples + "/hot_barrel.txt", "data.txt");
  fs::create_symlink("data.txt", "link.txt");
  fs::create_hard_link("data.txt", "hard.txt");
  const std::string before = ReadFile("data.txt");
  for (const std::string& name : std::vector<std::string>{"data.txt", "./data.txt", (dir_ / "data.txt").string(), "link.txt", "hard.txt"}) {
    std::ostringstream out, err;
    EXPECT_EQ(RunBatch({"data.txt", "-o", name}, out, err, '.'), BatchExitUsage) << name;
    EXPECT_EQ(err.str(), "chung-batch: the result file \"" + name +
                             "\" and the data file \"data.txt\" are the same file; name another result file with -o\n");
    EXPECT_EQ(out.str(), "");
  }
  // The exports and the study file are refused alike.
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"data.txt", "--csv", "link.txt"}, {"data.txt", "--json", "hard.txt"},
           {"data.txt", "--study", "./data.txt", "--vary", "ScrewSpeed=30,40"}}) {
    std::ostringstream out, err;
    EXPECT_EQ(RunBatch(args, out, err, '.'), BatchExitUsage) << args[1];
    EXPECT_NE(err.str().find("are the same file; name another"), std::string::npos) << err.str();
  }
  EXPECT_EQ(ReadFile("data.txt"), before);
  std::ostringstream out, err;
  EXPECT_EQ(RunBatch({"data.txt", "-o", "other.txt"}, out, err, '.'), BatchExitCompleted) << err.str();
}

TEST_F(BatchSafety, AStandardOutputThatTakesNothingIsAFailure) {
  EXPECT_EQ(Shell(Batch() + " >/dev/full 2>err.txt"), BatchExitFailed);
  EXPECT_EQ(ReadFile("err.txt"), "chung-batch: can not write to standard output: No space left on device\n");
  EXPECT_TRUE(fs::exists("result.txt"));  // the report itself was written
  EXPECT_EQ(Shell(Batch() + " --help >/dev/full 2>/dev/null"), BatchExitFailed);
}

TEST_F(BatchSafety, TwoRunsOnOneResultFileLeaveOneCompleteReport) {
  ASSERT_EQ(Shell(Batch() + " '" + Examples + "/default.txt' -o one.txt >/dev/null"), 0);
  ASSERT_EQ(Shell(Batch() + " '" + Examples + "/hot_barrel.txt' -o two.txt >/dev/null"), 0);
  const std::string one = ReadFile("one.txt"), two = ReadFile("two.txt");
  const std::string both = Batch() + " '" + Examples + "/default.txt' -o r.txt >/dev/null & " + Batch() + " '" +
                           Examples + "/hot_barrel.txt' -o r.txt >/dev/null; wait";
  for (int attempt = 0; attempt < 20; ++attempt) {
    ASSERT_EQ(Shell(both), 0);
    const std::string report = ReadFile("r.txt");
    ASSERT_TRUE(report == one || report == two) << "attempt " << attempt << ": " << report.size() << " bytes";
  }
  EXPECT_EQ(TemporaryFiles(), 0);
}

TEST_F(BatchSafety, ARunStoppedByTheFileSizeLimitKeepsThePreviousReport) {
  ASSERT_EQ(Shell(Batch() + " -o r.txt >/dev/null"), 0);
  const std::string previous = ReadFile("r.txt");
  // 4 blocks of 1 KiB: the report (13 KB) exceeds the limit half way.
  EXPECT_EQ(Shell("ulimit -f 4; " + Batch() + " '" + Examples + "/hot_barrel.txt' -o r.txt 2>err.txt"),
            BatchExitFailed);
  EXPECT_EQ(ReadFile("err.txt"), "Can not write result file r.txt: File too large\n");
  EXPECT_EQ(ReadFile("r.txt"), previous);
  EXPECT_EQ(TemporaryFiles(), 0);
}

}  // namespace
