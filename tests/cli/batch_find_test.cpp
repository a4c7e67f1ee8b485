// chung-batch --find: the line, the run at the value with its exports, one
// limit per case of a study, and the usage errors of the new options.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "batch_test_support.h"
#include "cli/batch_options.h"
#include "cli/batch_run.h"
#include "results/number_text.h"

namespace fs = std::filesystem;
using Json = nlohmann::json;

namespace {

using BatchFind = BatchTempDir;

TEST_F(BatchFind, RunsTheValueFoundWithTheSingleRunsExports) {
  const BatchResult result = Batch({"--find", "OutputRate=100:1000", "--until", "melted", "--set", "ScrewSpeed=38",
                                    "-o", "limit.txt", "--json", "limit.json"});
  ASSERT_EQ(result.Code, BatchExitCompleted) << result.Err;
  EXPECT_TRUE(result.Out.starts_with("largest OutputRate where melted holds: 482.11")) << result.Out;
  EXPECT_NE(result.Out.find("\nReport written to "), std::string::npos) << result.Out;
  EXPECT_NE(result.Err.find("warning: X/W rises above 1 (1.242"), std::string::npos) << result.Err;
  EXPECT_TRUE(fs::is_regular_file("limit.txt"));

  const Json json = Json::parse(ReadFile("limit.json"));
  const Json& find = json.at("find");
  EXPECT_EQ(find.at("Status"), "Found");
  EXPECT_EQ(find.at("Input"), "OutputRate");
  EXPECT_EQ(find.at("Condition"), "melted");
  EXPECT_LE(find.at("Runs").get<int>(), 100);
  EXPECT_EQ(find.at("Intervals").size(), 1u);
  // The run in the document is the one at the value.
  EXPECT_EQ(json.at("inputs").at("OutputRate").at("value"), find.at("Value"));
  EXPECT_EQ(json.at("outcome"), "Completed");
  EXPECT_EQ(json.at("summary").at("Melted"), true);
}

// With the stage on (a die set, or --melt), clean counts the stage's
// warnings too.
TEST_F(BatchFind, CleanWithTheStageCountsItsWarnings) {
  auto limit = [&](const std::vector<std::string>& stage) {
    std::vector<std::string> args = {"--find", "OutputRate=100:1000", "--until", "clean", "--no-report"};
    args.insert(args.end(), stage.begin(), stage.end());
    const BatchResult result = Batch(args);
    EXPECT_EQ(result.Code, BatchExitCompleted) << result.Err;
    const std::string lead = "largest OutputRate where clean holds: ";
    EXPECT_TRUE(result.Out.starts_with(lead)) << result.Out;
    return result.Out.starts_with(lead) ? std::stod(result.Out.substr(lead.size())) : 0.0;
  };
  EXPECT_NEAR(limit({}), 416.2, 0.05);
  // Above 256 kg/hr the pressure falls below zero in the channel, die or not.
  EXPECT_NEAR(limit({"--melt"}), 256.18, 0.01);
  EXPECT_NEAR(limit({"--set", "DieMode=Capillary"}), 256.18, 0.01);
}

// With a capillary die the barrel bound limits the output: asking for the
// adiabatic bound alone finds a larger one.
TEST_F(BatchFind, DieReachedJudgesTheBoundNamed) {
  auto value = [&](const std::string& bound) {
    const BatchResult result = Batch({"--find", "OutputRate=100:1000", "--until", "die-reached", "--bound", bound,
                                      "--set", "DieMode=Capillary", "--no-report", "--json", bound + ".json"});
    EXPECT_EQ(result.Code, BatchExitCompleted) << result.Err;
    const Json find = Json::parse(ReadFile(bound + ".json")).at("find");
    EXPECT_EQ(find.at("Bound"), bound);
    return find.at("Value").get<double>();
  };
  const BatchResult both = Batch({"--find", "OutputRate=100:1000", "--until", "die-reached", "--set",
                                  "DieMode=Capillary", "--no-report"});
  EXPECT_TRUE(both.Out.starts_with("largest OutputRate where die-reached holds: " + RoundTripText(value("Barrel"))))
      << both.Out;
  EXPECT_GT(value("Adiabatic"), value("Barrel"));
}

TEST_F(BatchFind, HoldsNowhereIsAnAnswerNotAFailure) {
  const BatchResult result = Batch({"--find", "OutputRate=1000:2000", "--until", "clean", "--no-report", "--json", "n.json"});
  EXPECT_EQ(result.Code, BatchExitCompleted) << result.Err;
  EXPECT_TRUE(result.Out.starts_with("clean holds nowhere for OutputRate from 1000 to 2000 kg/hr (64 runs)")) << result.Out;
  const Json find = Json::parse(ReadFile("n.json")).at("find");
  EXPECT_EQ(find.at("Status"), "HoldsNowhere");
  EXPECT_TRUE(find.at("Value").is_null());
}

// Each case's row holds the limit a single search of that case finds.
TEST_F(BatchFind, VaryGivesOneLimitPerCase) {
  const BatchResult study = Batch({"--find", "OutputRate=100:1000", "--until", "clean", "--study", "limits.csv",
                                   "--vary", "ScrewSpeed=30,38", "-j", "2"});
  ASSERT_EQ(study.Code, BatchExitCompleted) << study.Err;
  std::istringstream file(ReadFile("limits.csv"));
  std::string header, first, second;
  std::getline(file, header);
  std::getline(file, first);
  std::getline(file, second);
  EXPECT_TRUE(header.starts_with("case,ScrewSpeed (rpm),limit OutputRate (kg/hr),limit status,limit runs,"
                                 "limit holds in (kg/hr),outcome,message,melted,"))
      << header;
  EXPECT_EQ(CsvFields(header).size(), CsvFields(second).size());

  const BatchResult single = Batch({"--find", "OutputRate=100:1000", "--until", "clean", "--set", "ScrewSpeed=38",
                                    "--no-report"});
  const std::vector<std::string> row = CsvFields(second);
  EXPECT_EQ(row[0], "2");
  EXPECT_EQ(row[1], "38");
  EXPECT_TRUE(single.Out.starts_with("largest OutputRate where clean holds: " + row[2] + " kg/hr (" + row[4] + " runs)"))
      << single.Out << second;
  EXPECT_EQ(row[3], "Found");
  EXPECT_EQ(row[6], "Completed");
  EXPECT_EQ(row[8], "true");
  EXPECT_LT(std::stod(CsvFields(first)[2]), std::stod(row[2]));  // slower, less output
}

TEST_F(BatchFind, BadFindArgumentsAreUsageErrors) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--find", "OutputRate=100:1000"}, "option --find needs --until melted, clean or die-reached"},
      {{"--find", "OutputRate=100:1000", "--until", "melted", "--bound", "Barrel"}, "option --bound is for --until die-reached"},
      {{"--find", "OutputRate=100:1000", "--until", "die-reached", "--bound", "barrel"}, "the profiles are Adiabatic, Barrel and BestEstimate"},
      {{"--find", "OutputRate=100:1000", "--until", "melted", "--set", "DieMode=Slit"}, "for --until clean or die-reached"},
      {{"--find", "OutputRate=100:1000", "--until", "clean", "--vary", "DieDiameter=0.3:0.5:0.1"}, "only with --until die-reached"},
      {{"--find", "DieLength=1:5", "--until", "melted"}, "DieLength changes only the melt-conveying stage"},
      {{"--find", "DieDiameter=0.2:2", "--until", "melted"}, "search it with --until clean or die-reached"},
      {{"--find", "DieMode=1:5", "--until", "die-reached"}, "DieMode is not a number"},
      {{"--find", "OutputRate=100:1000", "--until", "melted", "--melt"}, "does not run the melt-conveying stage"},
      {{"--find", "OutputRate=100:1000", "--until", "clean", "--operating-point"}, "nor ever with --operating-point"},
      {{"--until", "melted"}, "option --until needs --find NAME=LO:HI"},
      {{"--smallest"}, "option --smallest needs --find NAME=LO:HI"},
      {{"--find", "OutputRate=100", "--until", "melted"}, "the search is NAME=LO:HI"},
      {{"--find", "Output=1:2", "--until", "melted"}, "unknown input name \"Output\""},
      {{"--find", "OutputRate=500:100", "--until", "melted"}, "LO and HI are numbers with LO below HI"},
      {{"--find", "OutputRate=100:500", "--until", "solid"}, "the conditions are melted, clean and die-reached"},
      {{"--find", "OutputRate=100:500", "--until", "melted", "--tolerance", "0"}, "the tolerance is a number above 0"},
      {{"--find", "OutputRate=1:5", "--until", "melted", "--find", "ScrewSpeed=1:5"}, "option --find given more than once"},
      {{"--find", "OutputRate=100:500", "--until", "clean", "--study", "s.csv", "--vary", "OutputRate=1,2"},
       "OutputRate is both searched and varied"},
      {{"--find", "OutputRate=100:500", "--until", "clean", "--study", "s.csv", "--reports", "r"},
       "option --reports is not for a search of limits"},
  };
  for (const auto& [args, mistake] : cases) {
    const BatchResult result = Batch(args);
    EXPECT_EQ(result.Code, BatchExitUsage) << mistake;
    EXPECT_NE(result.Err.find(mistake), std::string::npos) << result.Err;
  }
  EXPECT_TRUE(fs::is_empty(dir_));
}

}  // namespace
