// The built chung-batch as a user starts it: exit statuses and the locale.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

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

// A German locale reads and writes numbers with a comma: the initial texts
// carry it, so the default run completes; a full stop is refused.
TEST_F(BatchExecutable, ReadsNumbersWithTheDecimalCommaOfTheLocale) {
  const std::string german = "LOCPATH='" CHUNG_COMMA_LOCPATH "' LC_ALL=de_DE.UTF-8";
  EXPECT_EQ(RunExecutable("", german), 0) << ReadFile("err.txt");
  EXPECT_NE(ReadFile("result.txt").find("(cm) =  15,0\r\n"), std::string::npos);
  std::filesystem::remove("result.txt");
  EXPECT_EQ(RunExecutable("--set ScrewSpeed=38.0", german), 1);
  EXPECT_EQ(ReadFile("err.txt"),
            "Input value is not correct!\nScrewSpeed: \"38.0\" is not a number with the decimal separator ','\n");
  EXPECT_FALSE(std::filesystem::exists("result.txt"));
}

// A data file is read in any locale: the examples (points) under a comma
// locale, a file saved under a comma locale (commas) under C, alike.
TEST_F(BatchExecutable, ReadsDataFilesWrittenInAnyLocale) {
  std::ifstream example(CHUNG_EXAMPLES_DIR "/default.txt", std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(example)), std::istreambuf_iterator<char>());
  // As Save Inputs As writes under a comma locale: a comma between digits.
  std::string commas = text;
  for (std::size_t k = 1; k + 1 < commas.size(); ++k)
    if (commas[k] == '.' && std::isdigit(static_cast<unsigned char>(commas[k - 1])) &&
        std::isdigit(static_cast<unsigned char>(commas[k + 1])))
      commas[k] = ',';
  std::ofstream("commas.txt", std::ios::binary) << commas;
  const std::string german = "LOCPATH='" CHUNG_COMMA_LOCPATH "' LC_ALL=de_DE.UTF-8";
  const struct {
    std::string File, Environment, Echo;
  } cases[] = {{"'" CHUNG_EXAMPLES_DIR "/default.txt'", german, "(cm) =  15,0\r\n"},
               {"commas.txt", "LC_ALL=C", "(cm) =  15.0\r\n"}};
  for (const auto& c : cases) {
    EXPECT_EQ(RunExecutable(c.File, c.Environment), 0) << c.File << ReadFile("err.txt");
    EXPECT_NE(ReadFile("result.txt").find(c.Echo), std::string::npos) << c.File;
    std::filesystem::remove("result.txt");
  }
}

// A study that SIGTERM stops: exit 130, and the study file holds the first
// cases, complete, and the tool says how many.
TEST_F(BatchExecutable, TerminatedStudyKeepsACompletePrefix) {
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    freopen("err.txt", "w", stderr);
    execl(CHUNG_BATCH_EXECUTABLE, "chung-batch", "--study", "study.csv", "--vary", "ScrewSpeed=20:1019.9:0.1",
          "--vary", "OutputRate=300,400", "-j", "2", static_cast<char*>(nullptr));
    _exit(127);
  }
  // Rows are written to the study file's temporary file in its folder.
  auto rowsStarted = [&] {
    for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
      if (entry.path().extension() == ".tmp" && entry.file_size() > 1000) return true;
    }
    return false;
  };
  for (int wait = 0; wait < 600 && !rowsStarted(); ++wait) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  kill(child, SIGTERM);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 130);

  const std::string study = ReadFile("study.csv");
  std::istringstream lines(study);
  std::string line;
  ASSERT_TRUE(std::getline(lines, line));
  EXPECT_TRUE(line.starts_with("case,ScrewSpeed (rpm),OutputRate (kg/hr),outcome,"));
  uint64_t rows = 0;
  while (std::getline(lines, line)) EXPECT_TRUE(line.starts_with(std::to_string(++rows) + ",")) << line;
  EXPECT_TRUE(study.ends_with("\n"));
  EXPECT_GT(rows, 0u);
  EXPECT_LT(rows, 20000u);
  EXPECT_EQ(ReadFile("err.txt"), "chung-batch: study stopped; " + (dir_ / "study.csv").string() +
                                     " holds the first " + std::to_string(rows) + " of 20000 cases\n");
}

}  // namespace
