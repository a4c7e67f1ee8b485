// The built chung-batch as a user starts it: exit statuses and the locale.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "batch_test_support.h"

namespace {

// environment: assignments put before the command, such as LC_ALL=C.
int RunExecutable(const std::string& arguments, const std::string& environment = "") {
  const std::string command = environment + " '" + CHUNG_BATCH_EXECUTABLE + "' " + arguments +
                              " >out.txt 2>err.txt";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

using BatchExecutable = BatchTempDir;

TEST_F(BatchExecutable, ExitStatusesReachTheShell) {
  EXPECT_EQ(RunExecutable("--help"), 0);
  EXPECT_TRUE(ReadFile("out.txt").starts_with("Usage: chung-batch"));
  EXPECT_EQ(RunExecutable("-x"), 64);
  EXPECT_EQ(RunExecutable("'no such file.txt'"), 3);
  EXPECT_EQ(ReadFile("err.txt"), "Data file can not open!\n");
  EXPECT_EQ(RunExecutable("-o ''"), 1);
  EXPECT_EQ(ReadFile("err.txt"), "Save File Name is not correct!\n");
  EXPECT_EQ(RunExecutable("-o 'missing folder/result.txt'"), 2);
  EXPECT_FALSE(std::filesystem::exists("result.txt"));
}

TEST_F(BatchExecutable, VersionIsTheProjectsVersion) {
  EXPECT_EQ(RunExecutable("--version"), 0);
  EXPECT_EQ(ReadFile("out.txt"), "chung-batch " CHUNG_PROJECT_VERSION "\n");
  EXPECT_FALSE(std::filesystem::exists("result.txt"));
}

TEST_F(BatchExecutable, RunsWithTheEnvironmentsLocale) {
  for (const char* locale : {"C", "C.UTF-8", "no_such_locale"}) {
    EXPECT_EQ(RunExecutable("", std::string("LC_ALL=") + locale), 0)
        << locale << ": " << ReadFile("err.txt");
    EXPECT_TRUE(std::filesystem::exists("result.txt")) << locale;
    std::filesystem::remove("result.txt");
  }
}

// A German locale reads numbers with a comma: the initial texts, written with
// a full stop, are refused.
TEST_F(BatchExecutable, ReadsNumbersWithTheDecimalCommaOfTheLocale) {
  EXPECT_EQ(RunExecutable("", "LOCPATH='" CHUNG_COMMA_LOCPATH "' LC_ALL=de_DE.UTF-8"), 1);
  EXPECT_EQ(ReadFile("err.txt"), "Input value is not correct!\n");
  EXPECT_FALSE(std::filesystem::exists("result.txt"));
}

}  // namespace
