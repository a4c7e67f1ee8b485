#include "report/temporary_files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "report/replace_file.h"

namespace fs = std::filesystem;

namespace {

class TemporaryFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    dir_ = fs::temp_directory_path() / ("chung-signal-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    target_ = dir_ / "result.txt";
    std::ofstream(target_, std::ios::binary) << "the previous report\r\n";
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) names.push_back(entry.path().filename().string());
    return names;
  }
  std::string Target() const {
    std::ifstream in(target_, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  fs::path dir_, target_;
};

// A process ended by a signal while half a report sits in the temporary file.
void WriteHalfAndReceive(const std::string& target, int signalNumber) {
  RemoveTemporaryFilesOnSignals();
  ReplacementFile file;
  if (!file.Open(target)) std::_Exit(3);
  std::fputs("half a new rep", file.Stream());
  std::fflush(file.Stream());
  if (!fs::exists(file.TemporaryPath())) std::_Exit(4);
  ::raise(signalNumber);
  std::_Exit(5);  // not reached: the signal ends the process
}

TEST_F(TemporaryFilesTest, ASignalWhileWritingLeavesThePreviousReportAndNoTemporaryFile) {
  for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
    EXPECT_EXIT(WriteHalfAndReceive(target_.string(), signalNumber), ::testing::KilledBySignal(signalNumber), "")
        << strsignal(signalNumber);
    EXPECT_EQ(Target(), "the previous report\r\n");
    EXPECT_EQ(Entries(), std::vector<std::string>{"result.txt"});
  }
}

TEST_F(TemporaryFilesTest, SlotsAreReusedAndTheTableHasRoom) {
  // A run registers one file at a time; thousands of runs must not use up the table.
  const int folder = ::open(dir_.c_str(), O_PATH | O_DIRECTORY);
  ASSERT_GE(folder, 0);
  for (int run = 0; run < 5000; ++run) {
    int slot = -1;
    const std::string name = "t" + std::to_string(run);
    const int descriptor = CreateTemporaryFile(folder, name, slot);
    ASSERT_GE(descriptor, 0) << "run " << run;
    ASSERT_GE(slot, 0) << "run " << run;
    ::close(descriptor);
    ::unlinkat(folder, name.c_str(), 0);
    EXPECT_TRUE(ForgetTemporaryFile(slot));
  }
  int slot = 0;
  EXPECT_EQ(CreateTemporaryFile(folder, std::string(300, 'x'), slot), -1);  // longer than a name may be
  EXPECT_EQ(errno, ENAMETOOLONG);
  EXPECT_EQ(slot, -1);
  ::close(folder);
}

}  // namespace
