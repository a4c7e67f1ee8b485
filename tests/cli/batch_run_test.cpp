#include "cli/batch_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "batch_test_support.h"
#include "cli/batch_options.h"
#include "model/input_fields.h"

namespace fs = std::filesystem;

namespace {

// A data file of the initial texts, with some values replaced (keyed by line
// number, 1 to 29); line 29 is the unit.
std::string DataFileText(const std::map<int, std::string>& values = {}) {
  std::string text;
  for (int line = 1; line <= 29; ++line) {
    std::string value = line <= InputCount ? InputFields[line - 1].InitialText : "1";
    if (auto it = values.find(line); it != values.end()) value = it->second;
    text += "Line " + std::to_string(line) + " =  " + value + "  unit note\r\n";
  }
  return text;
}

std::vector<std::string> SplitReport(const std::string& report) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = report.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(report.substr(start, end - start));
  }
  return lines;
}

using BatchRun = BatchTempDir;

TEST_F(BatchRun, UsageErrorsExit64AndRunNothing) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"-x"}, {"-o"}, {"a.txt", "b.txt"}, {"-o", "a", "-o", "b"},
        {"--bogus"}}) {
    const BatchResult result = Batch(args);
    EXPECT_EQ(result.Code, BatchExitUsage);
    EXPECT_TRUE(result.Err.starts_with("chung-batch: ")) << result.Err;
    EXPECT_TRUE(result.Err.ends_with(BatchUsage)) << result.Err;
    EXPECT_EQ(result.Out, "");
  }
  EXPECT_FALSE(fs::exists("result.txt"));
}

TEST_F(BatchRun, HelpPrintsTheExplanationAndRunsNothing) {
  const BatchResult result = Batch({"--help"});
  EXPECT_EQ(result.Code, 0);
  EXPECT_EQ(result.Out, BatchHelp);
  EXPECT_EQ(result.Err, "");
  EXPECT_FALSE(fs::exists("result.txt"));
}

TEST_F(BatchRun, UnreadableDataFileExits3) {
  fs::create_directory("folder.txt");
  for (const std::string path : {"no such file.txt", "folder.txt", ""}) {
    const BatchResult result = Batch({"--", path});
    EXPECT_EQ(result.Code, BatchExitDataFileRefused) << path;
    EXPECT_EQ(result.Err, "Data file can not open!\n") << path;
  }
  EXPECT_FALSE(fs::exists("result.txt"));
}

TEST_F(BatchRun, RefusedDataFileExits3WithTheLoadersMessage) {
  std::string shortFile = DataFileText();
  shortFile.erase(shortFile.rfind("Line 29"));
  WriteFile("short.txt", shortFile);
  WriteFile("bad unit.txt", DataFileText({{29, "1.0"}}));
  fs::create_directory("sub");
  const std::string notADataFile =
      "\"" + (dir_ / "short.txt").string() + "\" is not a correct data file!\n";

  const BatchResult relative = Batch({"short.txt"});
  EXPECT_EQ(relative.Code, BatchExitDataFileRefused);
  EXPECT_EQ(relative.Err, notADataFile);
  EXPECT_EQ(Batch({"sub/../short.txt"}).Err, notADataFile);
  EXPECT_EQ(Batch({(dir_ / "short.txt").string()}).Err, notADataFile);

  const BatchResult badUnit = Batch({"bad unit.txt"});
  EXPECT_EQ(badUnit.Code, BatchExitDataFileRefused);
  EXPECT_EQ(badUnit.Err, "To specify the unit of viscosity, select \"0\" or \"1\" only!\n");
  EXPECT_FALSE(fs::exists("result.txt"));
}

TEST_F(BatchRun, RejectedRunExits1AndWritesNoReport) {
  const std::vector<std::pair<std::map<int, std::string>, std::string>> cases = {
      // The next line names the input and the text the run read.
      {{{2, "abc"}}, "Input value is not correct!\nFeedTurns: \"abc\" is not a number with the decimal separator '.'\n"},
      {{{1, ""}}, "Input value is not correct!\nScrewDiameter: \"unit\" is not a number with the decimal separator '.'\n"},
      {{{1, "-1"}, {2, "0"}}, "Value of Screw Diameter is not correct!\n"},
      {{{27, "1.0001"}}, "Value of Compaction Factor at Inlet is not correct!\n"},
  };
  for (const auto& [values, message] : cases) {
    WriteFile("case.txt", DataFileText(values));
    const BatchResult result = Batch({"case.txt"});
    EXPECT_EQ(result.Code, BatchExitRejected) << message;
    EXPECT_EQ(result.Err, message);
    EXPECT_EQ(result.Out, "");
  }
  const BatchResult noName = Batch({"-o", ""});
  EXPECT_EQ(noName.Code, BatchExitRejected);
  EXPECT_EQ(noName.Err, "Save File Name is not correct!\n");
  EXPECT_FALSE(fs::exists("result.txt"));
}

TEST_F(BatchRun, DefaultRunWritesResultTxtInTheCurrentDirectory) {
  const BatchResult result = Batch({});
  ASSERT_EQ(result.Code, 0) << result.Err;
  EXPECT_EQ(result.Err, "");
  ASSERT_TRUE(fs::exists(dir_ / "result.txt"));
  const std::vector<std::string> report = SplitReport(ReadFile(dir_ / "result.txt"));
  EXPECT_EQ(report.size(), 237u);
  EXPECT_TRUE(result.Out.starts_with("Report written to " + (dir_ / "result.txt").string() +
                                     ": 197 rows, motor power for melting 22."))
      << result.Out;
  EXPECT_NE(result.Out.find(" kW, net melting energy 23."), std::string::npos) << result.Out;
  EXPECT_TRUE(result.Out.ends_with(" kW\n")) << result.Out;
}

TEST_F(BatchRun, FixedLinesOfTheDataFileChangeNothing) {
  ASSERT_EQ(Batch({"-o", "default.txt"}).Code, 0);
  std::map<int, std::string> fixedLines;
  for (int line = 15; line <= 25; ++line) fixedLines[line] = line % 2 ? "abc" : "-1";
  fixedLines[22] = "";
  WriteFile("case.txt", DataFileText(fixedLines));
  const BatchResult result = Batch({"case.txt", "-o", "loaded.txt"});
  ASSERT_EQ(result.Code, 0) << result.Err;
  EXPECT_EQ(ReadFile("loaded.txt"), ReadFile("default.txt"));
}

TEST_F(BatchRun, DataFileValuesAndUnitReachTheReport) {
  WriteFile("case.txt", DataFileText({{10, "40.0"}, {29, "0"}}));
  const BatchResult result = Batch({"case.txt"});
  ASSERT_EQ(result.Code, 0) << result.Err;
  const std::vector<std::string> report = SplitReport(ReadFile("result.txt"));
  ASSERT_GE(report.size(), 29u);
  EXPECT_TRUE(report[9].ends_with("=  40.0")) << report[9];
  EXPECT_EQ(report[28], "(Note: Viscosity Unit is [Pa.s])");
}

TEST_F(BatchRun, ExamplesRunToAReport) {
  ASSERT_EQ(Batch({"-o", "initial.txt"}).Code, 0);
  for (const char* example : {"default.txt", "hot_barrel.txt", "pas_unit.txt"}) {
    const BatchResult result =
        Batch({std::string(CHUNG_EXAMPLES_DIR) + "/" + example, "-o", example});
    EXPECT_EQ(result.Code, 0) << example << ": " << result.Err;
    EXPECT_EQ(result.Err, "") << example;
  }
  EXPECT_EQ(ReadFile("default.txt"), ReadFile("initial.txt"));
  EXPECT_NE(ReadFile("hot_barrel.txt"), ReadFile("initial.txt"));
  const std::vector<std::string> pas = SplitReport(ReadFile("pas_unit.txt"));
  ASSERT_GE(pas.size(), 29u);
  EXPECT_EQ(pas[28], "(Note: Viscosity Unit is [Pa.s])");
}

TEST_F(BatchRun, ReportThatCanNotBeWrittenIsNoSuccess) {
  const BatchResult result = Batch({"-o", "missing folder/result.txt"});
  EXPECT_EQ(result.Code, BatchExitFailed);
  EXPECT_EQ(result.Out, "");
  EXPECT_NE(result.Err.find("File can not open!\n"), std::string::npos) << result.Err;
  EXPECT_TRUE(result.Err.ends_with("The report was not written completely to " +
                                   (dir_ / "missing folder/result.txt").string() + "\n"))
      << result.Err;
}

TEST_F(BatchRun, ConveyingAngleThatDoesNotSettleEndsTheRunAfterAThousandSteps) {
  // Valid inputs on which the secant steps never come closer than the tolerance.
  WriteFile("case.txt", DataFileText({{1, "0.18652083013571544"},
                                      {6, "0.023099793002626837"},
                                      {8, "65.936647492528635"},
                                      {9, "0.061316667377785239"},
                                      {10, "207.25272294830219"},
                                      {11, "0.18952398909479892"}}));
  const BatchResult result = Batch({"case.txt"});
  EXPECT_EQ(result.Code, BatchExitFailed);
  EXPECT_TRUE(result.Err.starts_with("The solid conveying angle did not converge within 1000 steps; "
                                     "check the screw geometry, the screw speed and the output."))
      << result.Err;
  EXPECT_FALSE(fs::exists("result.txt"));
}

TEST_F(BatchRun, DecimalSeparatorOfTheLocaleReadsTheTexts) {
  // The initial texts carry the locale's comma; a text set with a full stop is refused.
  EXPECT_EQ(Batch({}, ',').Code, BatchExitCompleted);
  EXPECT_TRUE(fs::exists("result.txt"));
  fs::remove("result.txt");
  const BatchResult result = Batch({"--set", "OutputRate=300.0"}, ',');
  EXPECT_EQ(result.Code, BatchExitRejected);
  EXPECT_EQ(result.Err,
            "Input value is not correct!\nOutputRate: \"300.0\" is not a number with the decimal separator ','\n");
  EXPECT_FALSE(fs::exists("result.txt"));
}

}  // namespace
