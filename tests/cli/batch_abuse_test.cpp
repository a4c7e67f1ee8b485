// chung-batch used carelessly or with hostile input: huge plans, outputs over
// inputs, malformed shards, full disks, closed pipes, signals and links
// planted in shared folders. Each must end in a refusal with a message and
// an exit status, never in a crash, a hang or a file half written.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "batch_test_support.h"
#include "cli/batch_run.h"

namespace fs = std::filesystem;

namespace {

using BatchAbuse = BatchTempDir;

struct ChildEnd {
  int Status = -1;        // the exit status, -1 when a signal ended it
  long MaxResidentKb = 0; // the child's peak memory
};

// Runs the built chung-batch with `args`, stderr to err.txt and stdout to
// out.txt, and waits for it.
ChildEnd RunChild(const std::vector<std::string>& args) {
  const pid_t child = fork();
  if (child == 0) {
    if (!freopen("out.txt", "w", stdout) || !freopen("err.txt", "w", stderr)) _exit(127);
    std::vector<char*> argv{const_cast<char*>("chung-batch")};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(CHUNG_BATCH_EXECUTABLE, argv.data());
    _exit(127);
  }
  ChildEnd end;
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) != child) return end;
  end.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  end.MaxResidentKb = usage.ru_maxrss;
  return end;
}

// A plan is counted before anything is built: a huge one is refused with its
// exact size at once, in the memory of a small one.
TEST_F(BatchAbuse, HugePlansAreRefusedWithTheirSizeInBoundedMemory) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--vary", "ScrewSpeed=1:9999999:1", "--vary", "OutputRate=1:100001:1"}, "1000009899999"},
      {{"--vary", "FeedTurns=1:100000:1", "--vary", "MeteringTurns=1:100000:1", "--vary",
        "CompressionTurns=1:100000:1", "--vary", "DelayTurns=1:100000:1"},
       "100000000000000000000"},
  };
  for (const auto& [vary, count] : cases) {
    std::vector<std::string> args{"--study", "s.csv"};
    args.insert(args.end(), vary.begin(), vary.end());
    const ChildEnd end = RunChild(args);
    EXPECT_EQ(end.Status, BatchExitUsage) << count;
    EXPECT_TRUE(ReadFile("err.txt").starts_with("chung-batch: the study has " + count +
                                                " cases, more than the 10000000 a study may have\n"))
        << ReadFile("err.txt");
    // Spelled out, the first plan's values alone would take hundreds of MB.
    EXPECT_LT(end.MaxResidentKb, 150 * 1024) << count;
  }
  EXPECT_FALSE(fs::exists("s.csv"));
}

}  // namespace
