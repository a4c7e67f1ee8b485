// chung-batch's additions over whole runs: warnings and --strict, --set,
// the exports, studies and their shards, and the usage errors of the new
// options.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "batch_test_support.h"
#include "cli/batch_options.h"
#include "cli/batch_run.h"
#include "results/profile_csv.h"

namespace fs = std::filesystem;
using Json = nlohmann::json;

namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

using BatchStudy = BatchTempDir;

TEST_F(BatchStudy, WarningsGoToStderrAndStrictMakesThemExit4) {
  const BatchResult plain = Batch({"--no-report", "--set", "OutputRate=600"});
  EXPECT_EQ(plain.Code, 0);
  EXPECT_TRUE(plain.Out.starts_with("Run completed, no report written: 258 rows, ")) << plain.Out;
  const std::vector<std::string> warnings = Lines(plain.Err);
  ASSERT_EQ(warnings.size(), 2u) << plain.Err;
  EXPECT_EQ(warnings[0],
            "warning: X/W rises above 1 (1.578 at turn 16.00): the solid bed would be wider than the "
            "channel, which the model does not describe.");
  EXPECT_TRUE(warnings[1].starts_with("warning: Solid is left at the end of the screw: 10 %")) << warnings[1];

  const BatchResult strict = Batch({"--no-report", "--strict", "--set", "OutputRate=600"});
  EXPECT_EQ(strict.Code, BatchExitWarnings);
  EXPECT_EQ(strict.Err, plain.Err);
  EXPECT_EQ(strict.Out, plain.Out);

  const BatchResult clean = Batch({"--strict"});
  EXPECT_EQ(clean.Code, 0);
  EXPECT_EQ(clean.Err, "");
}

// The net melting energy by the model's formulas: the solid bed temperature
// where melting starts, the heat to melt a gram from there, times the mass rate.
long double NetMeltingEnergy(long double meltingPoint, long double heatOfFusion, long double solidHeat) {
  const long double phi = 0.6L, inlet = 30.0L, massRate = 300.0L / 3.6L;
  const long double bed = phi * inlet + (1 - phi) * meltingPoint + (1 - phi) / solidHeat * heatOfFusion;
  return ((meltingPoint - bed) * solidHeat + heatOfFusion) * 0.00418605L * massRate;
}

TEST_F(BatchStudy, SetOnAFixedInputChangesTheResultAsTheModelSays) {
  struct SetCase {
    std::string Setting;
    long double Expected;
    std::string EchoLine;  // the report's input echo, with the degree sign in code page 932
  };
  const std::vector<SetCase> cases = {
      {"MeltingPoint=255", NetMeltingEnergy(255, 17.7L, 0.4L), "Melting Point                      (\x81\x8E) =  255.0"},
      {"HeatOfFusion=30", NetMeltingEnergy(265, 30, 0.4L), "Heat of Fusion                  (cal/g) =  30.00"},
      {"SolidSpecificHeat=0.5", NetMeltingEnergy(265, 17.7L, 0.5L),
       "Specific Heat of Solid       (cal/g.\x81\x8E) =  0.500"},
  };
  for (const SetCase& c : cases) {
    const BatchResult result = Batch({"--set", c.Setting, "--json", "run.json"});
    ASSERT_EQ(result.Code, 0) << c.Setting << result.Err;
    const Json json = Json::parse(ReadFile("run.json"));
    EXPECT_NEAR(json["summary"]["NetMeltingEnergy"]["value"].get<double>(), c.Expected, 1e-12L * c.Expected)
        << c.Setting;
    EXPECT_NE(ReadFile("result.txt").find(c.EchoLine + "\r\n"), std::string::npos) << c.Setting;
  }
  // The text is converted as a field's text is, when the run starts.
  const BatchResult bad = Batch({"--set", "HeatOfFusion=1,5"});
  EXPECT_EQ(bad.Code, BatchExitRejected);
  EXPECT_EQ(bad.Err, "Input value is not correct!\n");
}

TEST_F(BatchStudy, ExportsAreWholeFilesAndSkipTheReportOnRequest) {
  const BatchResult result = Batch({"--no-report", "--csv", "profile.csv", "--json", "run.json"});
  ASSERT_EQ(result.Code, 0) << result.Err;
  EXPECT_FALSE(fs::exists("result.txt"));
  const auto state = std::make_unique<ModelState>();
  class Quiet : public UserMessages {
    void ShowMessage(const std::string&) override {}
  } quiet;
  ASSERT_EQ(RunCommand(*state, InitialRunTexts(), InitialUnitIndex, quiet, '.', ReportWriting::Skip).Result,
            RunResult::Completed);
  EXPECT_EQ(ReadFile("profile.csv"), ProfileCsv(*state));
  EXPECT_EQ(Json::parse(ReadFile("run.json"))["summary"]["EndPoint"], 197);

  // A run refused still says why in its JSON; it has no profile to export.
  const BatchResult rejected = Batch({"--set", "ScrewSpeed=0", "--csv", "refused.csv", "--json", "refused.json"});
  EXPECT_EQ(rejected.Code, BatchExitRejected);
  EXPECT_EQ(Json::parse(ReadFile("refused.json"))["message"], "Value of Number of Revolution is not correct!");
  EXPECT_FALSE(fs::exists("refused.csv"));

  const BatchResult unwritable = Batch({"--no-report", "--json", "no folder/run.json"});
  EXPECT_EQ(unwritable.Code, BatchExitFailed);
  EXPECT_TRUE(unwritable.Err.starts_with("chung-batch: the JSON file was not written: ")) << unwritable.Err;
  std::vector<std::string> left;
  for (const auto& entry : fs::directory_iterator(dir_)) left.push_back(entry.path().filename().string());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"profile.csv", "refused.json", "run.json"}));
}

// Every row of a study is what a single run with the same inputs gives.
TEST_F(BatchStudy, StudyRowsEqualSingleRuns) {
  const BatchResult study = Batch({"--study", "study.csv", "--set", "FlightWidth=1.4", "--vary",
                                   "ScrewSpeed=0,38", "--vary", "BarrelB0=290,200", "--vary",
                                   "OutputRate=300:600:300"});
  ASSERT_EQ(study.Code, 0) << study.Err;
  EXPECT_EQ(study.Out, "Study written to " + (dir_ / "study.csv").string() +
                           ": 8 cases, 2 completed, 4 rejected, 2 failed\n");
  const std::vector<std::string> lines = Lines(ReadFile("study.csv"));
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[0],
            "case,ScrewSpeed (rpm),BarrelB0 (\u00B0C),OutputRate (kg/hr),outcome,message,melted,"
            "melting end (turns),melting end from melting start (cm),melting end L/D (-),QS/QT at end (-),"
            "motor power for melting (kW),net melting energy (kW),specific energy (kWh/kg),"
            "conveying angle (\u00B0),warnings");

  const char* const numbers[] = {"EndTurns",     "EndDistance",      "EndLengthRatio", "EndSolidFraction",
                                 "MeltingPower", "NetMeltingEnergy", "SpecificEnergy", "ConveyingAngleDegrees"};
  for (std::size_t c = 1; c < lines.size(); ++c) {
    const std::vector<std::string> row = CsvFields(lines[c]);
    ASSERT_EQ(row.size(), 16u) << lines[c];
    EXPECT_EQ(row[0], std::to_string(c));
    const BatchResult single = Batch({"--no-report", "--json", "single.json", "--set", "FlightWidth=1.4",
                                      "--set", "ScrewSpeed=" + row[1], "--set", "BarrelB0=" + row[2],
                                      "--set", "OutputRate=" + row[3]});
    const Json json = Json::parse(ReadFile("single.json"));
    EXPECT_EQ(row[4], json["outcome"]) << lines[c];
    if (row[4] != "Completed") {
      EXPECT_EQ(row[5], json["message"]) << lines[c];
      EXPECT_EQ(lines[c].substr(lines[c].size() - 10), std::string(10, ','));
      continue;
    }
    EXPECT_EQ(row[6], json["summary"]["Melted"] ? "true" : "false");
    for (int n = 0; n < 8; ++n) {
      EXPECT_EQ(std::stod(row[7 + n]), json["summary"][numbers[n]]["value"].get<double>()) << numbers[n];
    }
    std::string warnings;
    for (const Json& warning : json["summary"]["Warnings"]) {
      warnings += (warnings.empty() ? "" : " | ") + warning.get<std::string>();
    }
    EXPECT_EQ(row[15], warnings);
  }
}

TEST_F(BatchStudy, StudyFileIsTheSameForAnyWorkersAndShardsMergeIntoIt) {
  const std::vector<std::string> study = {"--vary", "ScrewSpeed=20:60:10", "--vary", "OutputRate=200,400,800"};
  auto run = [&](std::vector<std::string> extra) {
    extra.insert(extra.end(), study.begin(), study.end());
    const BatchResult result = Batch(extra);
    EXPECT_EQ(result.Code, 0) << result.Err;
  };
  run({"--study", "one.csv", "-j", "1"});
  run({"--study", "two.csv", "-j2"});
  const std::string whole = ReadFile("one.csv");
  EXPECT_EQ(Lines(whole).size(), 16u);
  EXPECT_EQ(ReadFile("two.csv"), whole);

  for (const char* shard : {"1/4", "2/4", "3/4", "4/4"}) {
    run({"--study", std::string("shard") + shard[0] + ".csv", "--shard", shard});
  }
  const BatchResult merged = Batch({"--merge", "merged.csv", "shard3.csv", "shard1.csv", "shard4.csv", "shard2.csv"});
  EXPECT_EQ(merged.Code, 0) << merged.Err;
  EXPECT_EQ(merged.Err, "");
  EXPECT_EQ(merged.Out, "Merged 15 cases into " + (dir_ / "merged.csv").string() + "\n");
  EXPECT_EQ(ReadFile("merged.csv"), whole);

  const BatchResult partial = Batch({"--merge", "partial.csv", "shard1.csv", "shard3.csv"});
  EXPECT_EQ(partial.Code, 0);
  // Case 15, the last, is missing too: the shards know the study's size.
  EXPECT_EQ(partial.Err, "warning: 8 cases are missing, the first is case 1\n");
  const BatchResult twice = Batch({"--merge", "twice.csv", "shard1.csv", "shard1.csv"});
  EXPECT_EQ(twice.Code, BatchExitDataFileRefused);
  EXPECT_EQ(twice.Err, "chung-batch: shard1.csv line 3: case 4 is also in shard1.csv line 3\n");
  EXPECT_FALSE(fs::exists("twice.csv"));
}

TEST_F(BatchStudy, ReportsFolderHoldsEachCasesReport) {
  const BatchResult study =
      Batch({"--study", "study.csv", "--reports", "reports", "--vary", "ScrewSpeed=30,40", "-j", "2"});
  ASSERT_EQ(study.Code, 0) << study.Err;
  for (const char* speed : {"30", "40"}) {
    ASSERT_EQ(Batch({"--set", std::string("ScrewSpeed=") + speed, "-o", std::string("single") + speed + ".txt"}).Code, 0);
  }
  EXPECT_EQ(ReadFile("reports/case-000001.txt"), ReadFile("single30.txt"));
  EXPECT_EQ(ReadFile("reports/case-000002.txt"), ReadFile("single40.txt"));
  EXPECT_FALSE(fs::exists("result.txt"));

  // A regular file where the folder should be: the study stops before any case runs.
  { std::ofstream("taken") << "mine"; }
  const BatchResult refused =
      Batch({"--study", "taken-study.csv", "--reports", "taken", "--vary", "ScrewSpeed=30,40"});
  EXPECT_EQ(refused.Code, BatchExitFailed);
  EXPECT_NE(refused.Err.find("the reports folder taken can not be created"), std::string::npos) << refused.Err;
  EXPECT_EQ(refused.Out, "");
  EXPECT_FALSE(fs::exists("taken-study.csv"));
  EXPECT_EQ(ReadFile("taken"), "mine");
}

// Each mistake is named; nothing runs and nothing is written.
TEST_F(BatchStudy, BadNewArgumentsAreUsageErrorsThatNameTheMistake) {
  const std::string names = "the names are ScrewDiameter, FeedTurns, ";
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--set", "ScrewSpeed"}, "option --set \"ScrewSpeed\": no '=' between the input name and its value; " + names},
      {{"--set", "screwspeed=30"}, "option --set \"screwspeed=30\": unknown input name \"screwspeed\"; " + names},
      {{"--set"}, "option --set needs NAME=VALUE"},
      {{"--study", "s.csv", "--vary", "Speed=1:2:1"}, "unknown input name \"Speed\"; " + names},
      {{"--study", "s.csv", "--vary", "ScrewSpeed"}, "\"ScrewSpeed\": no '=' between the input name and its values"},
      {{"--study", "s.csv", "--vary", "ScrewSpeed="}, "no values after '='"},
      {{"--study", "s.csv", "--vary", "ScrewSpeed=1:2"}, "a range is FROM:TO:STEP, three numbers"},
      {{"--study", "s.csv", "--vary", "ScrewSpeed=1:2:1:9"}, "a range is FROM:TO:STEP, three numbers"},
      {{"--study", "s.csv", "--vary", "ScrewSpeed=1:2:1:"}, "a range is FROM:TO:STEP, three numbers"},
      {{"--study", "s.csv", "--vary", "ScrewSpeed=1:x:1"}, "TO \"x\" is not a number"},
      {{"--study", "s.csv", "--vary", "ScrewSpeed=1:2:0"}, "STEP must not be 0"},
      {{"--study", "s.csv", "--vary", "ScrewSpeed=5:1:1"}, "TO is below FROM while STEP is positive"},
      {{"--study", "s.csv", "--vary", "ScrewSpeed=30,,40"}, "value \"\" is not a number"},
      {{"--study", "s.csv", "--vary", "ScrewSpeed=0:1e9:1"}, "the range has more than 10000000 values"},
      {{"--study", "s.csv", "--vary", "ScrewSpeed=1,2", "--vary", "ScrewSpeed=3"}, "ScrewSpeed is varied twice"},
      {{"--study", "s.csv", "--vary", "FeedTurns=1:10000:1", "--vary", "MeteringTurns=1:1001:1"},
       "the study has 10010000 cases, more than the 10000000 a study may have"},
      {{"--study", "s.csv", "--shard", "0/3"}, "option --shard \"0/3\": K/N needs whole numbers with 1 <= K <= N"},
      {{"--study", "s.csv", "--shard", "4/3"}, "option --shard \"4/3\""},
      {{"--study", "s.csv", "--shard", "3"}, "option --shard \"3\""},
      {{"--study", "s.csv", "-j", "0"}, "option -j \"0\": the number of workers is a whole number from 1 to 1024"},
      {{"--vary", "ScrewSpeed=1,2"}, "option --vary needs --study FILE.csv"},
      {{"--shard", "1/2"}, "option --shard needs --study FILE.csv"},
      {{"--study", "s.csv", "--csv", "p.csv"}, "option --csv is for a single run"},
      {{"--study", "s.csv", "-o", "r.txt"}, "option -o is for a single run"},
      {{"--no-report", "-o", "r.txt"}, "options -o and --no-report contradict each other"},
      {{"--json", "a.json", "--json", "b.json"}, "option --json given more than once"},
      {{"--merge", "out.csv"}, "option --merge needs at least one study file to join"},
      {{"--merge", "out.csv", "a.csv", "--strict"}, "option --merge takes only the merged file and the shards' study files"},
  };
  for (const auto& [args, mistake] : cases) {
    const BatchResult result = Batch(args);
    EXPECT_EQ(result.Code, BatchExitUsage) << mistake;
    EXPECT_TRUE(result.Err.starts_with("chung-batch: ")) << result.Err;
    EXPECT_NE(result.Err.find(mistake), std::string::npos) << result.Err;
    EXPECT_TRUE(result.Err.ends_with(BatchUsage)) << result.Err;
    EXPECT_EQ(result.Out, "");
  }
  EXPECT_TRUE(fs::is_empty(dir_));
}

}  // namespace
