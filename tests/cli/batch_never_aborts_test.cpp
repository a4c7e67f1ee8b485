// SPDX-License-Identifier: GPL-3.0-or-later
// Runs, searches and studies with the melt-conveying stage at hostile and
// ordinary inputs that once aborted, charged one computation's fault flags to
// the next, dropped an output or printed figures a search never had: each
// ends with its exit status and message and writes every output asked for.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "batch_test_support.h"
#include "cli/batch_options.h"

namespace fs = std::filesystem;
using Json = nlohmann::json;

namespace {

const std::string DefaultFile = CHUNG_EXAMPLES_DIR "/default.txt";
const std::string PasFile = CHUNG_EXAMPLES_DIR "/pas_unit.txt";

std::vector<std::string> TemporaryFiles() {
  std::vector<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(".")) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with(".chung-")) names.push_back(name);
  }
  return names;
}

struct Reproduction {
  const char* Name;
  std::vector<std::string> Args;
  int Code;
  const char* Message;  // a part of stderr, or of stdout when it starts with "out:"
  std::vector<std::string> Written;
  std::vector<std::string> NotWritten;
};

using BatchNeverAborts = BatchTempDir;

TEST_F(BatchNeverAborts, ReproductionsEndWithTheirStatusMessageAndOutputs) {
  const std::vector<std::string> head40 = {"--set", "DieMode=HeadPressure", "--set", "DieHeadPressure=40"};
  const Reproduction cases[] = {
      {"head 40 MPa: the search's flags are not the summary's",
       {DefaultFile, "--set", "DieMode=HeadPressure", "--set", "DieHeadPressure=40", "--operating-point", "--json",
        "r.json", "-o", "rep.txt"},
       BatchExitCompleted, "out:/ below the die's need at every output down to 2.89411e-07 kg/hr / ",
       {"r.json", "rep.txt"}, {}},
      {"pas unit at an ordinary head",
       {PasFile, "--set", "OutputRate=126.142", "--set", "ScrewSpeed=31.6446", "--set", "DieMode=HeadPressure",
        "--set", "DieHeadPressure=1.18095", "--operating-point", "-o", "rep.txt", "--json", "r.json"},
       BatchExitCompleted, "out:Melt stage (best estimate)", {"rep.txt", "r.json"}, {}},
      {"fast screw: every export after the stage",
       {DefaultFile, "-o", "rep.txt", "--set", "ScrewSpeed=1e4", "--melt", "--csv", "p.csv", "--json", "r.json"},
       BatchExitCompleted, "viscosities differ by a factor e^", {"rep.txt", "p.csv", "r.json"}, {}},
      {"tiny output", {DefaultFile, "-o", "rep.txt", "--set", "OutputRate=0.01", "--melt", "--json", "r.json"},
       BatchExitCompleted, "out:Melt stage", {"rep.txt", "r.json"}, {}},
      {"overflowing start pressure is refused as text",
       {DefaultFile, "-o", "rep.txt", "--set", "MeltStartPressure=1e99999", "--melt", "--json", "r.json"},
       BatchExitRejected, "Value of Melt Start Pressure is not correct!", {"rep.txt", "r.json"}, {}},
      {"overflowing head in a mode that does not read it",
       {DefaultFile, "-o", "rep.txt", "--set", "DieHeadPressure=1e400", "--melt", "--json", "r.json"},
       BatchExitRejected, "Value of Die Head Pressure is not correct!", {"rep.txt", "r.json"}, {}},
      {"a failed search prints no number",
       {DefaultFile, "-o", "rep.txt", "--set", "MeltStartPressure=1e300", "--operating-point", "--json", "r.json"},
       BatchExitCompleted, "out:Operating point (best estimate / adiabatic / barrel): not found, a trial run failed / not found",
       {"rep.txt", "r.json"}, {}},
      {"--find shows a failed run: its status",
       {DefaultFile, "-o", "rep.txt", "--find", "OutputRate=1e5:1e6", "--until", "melted", "--json", "r.json"},
       BatchExitFailed, "Floating point division by zero while computing", {"r.json"}, {"rep.txt"}},
      {"a huge die pressure in exponent form",
       {DefaultFile, "--no-report", "--set", "DieMode=Constant", "--set", "DieConstant=1e-300", "--melt"},
       BatchExitCompleted, "The die needs 8.87103e+297 MPa", {}, {"result.txt"}},
  };
  for (const Reproduction& c : cases) {
    SCOPED_TRACE(c.Name);
    const BatchResult result = Batch(c.Args);
    EXPECT_EQ(result.Code, c.Code) << result.Err;
    const std::string message = c.Message;
    if (message.starts_with("out:")) {
      EXPECT_NE(result.Out.find(message.substr(4)), std::string::npos) << result.Out;
    } else {
      EXPECT_NE(result.Err.find(message), std::string::npos) << result.Err;
    }
    for (const std::string& text : {result.Out, result.Err}) {
      EXPECT_EQ(text.find("inf"), std::string::npos) << text;
      EXPECT_EQ(text.find("nan"), std::string::npos) << text;
    }
    for (const std::string& file : c.Written) EXPECT_TRUE(fs::is_regular_file(file)) << file;
    for (const std::string& file : c.NotWritten) EXPECT_FALSE(fs::exists(file)) << file;
    EXPECT_TRUE(TemporaryFiles().empty());
    for (const std::string& file : c.Written) fs::remove(file);
  }
}

// A failed search's JSON gives null for every figure it never had.
TEST_F(BatchNeverAborts, FailedSearchFiguresAreNull) {
  const BatchResult result = Batch({DefaultFile, "--no-report", "--set", "MeltStartPressure=1e300",
                                    "--operating-point", "--json", "r.json"});
  ASSERT_EQ(result.Code, BatchExitCompleted) << result.Err;
  const Json point = Json::parse(ReadFile("r.json")).at("melt").at("OperatingPoint").at("Adiabatic");
  EXPECT_EQ(point.at("Status"), "TrialFailed");
  for (const char* figure : {"Output", "Low", "High", "LowMargin", "HighMargin", "TipPressure", "PressureMargin",
                             "DiePressure", "PeakPressure", "TipMeltTemperature", "InJump", "SolidAtTip"}) {
    EXPECT_TRUE(point.at(figure).is_null()) << figure;
  }
  EXPECT_FALSE(point.at("TrialMessage").is_null());

  // Where the die beats the screw at every output the end searched is a figure; the bracket is not.
  ASSERT_EQ(Batch({DefaultFile, "--no-report", "--set", "DieMode=HeadPressure", "--set", "DieHeadPressure=40",
                   "--operating-point", "--json", "b.json"})
                .Code,
            BatchExitCompleted);
  const Json below = Json::parse(ReadFile("b.json")).at("melt").at("OperatingPoint").at("Adiabatic");
  EXPECT_EQ(below.at("Status"), "BelowDieEverywhere");
  EXPECT_TRUE(below.at("Output").is_number());
  EXPECT_TRUE(below.at("TipPressure").is_number());
  EXPECT_TRUE(below.at("Low").is_null());
}

// Twenty die pressures, from 60 MPa on beyond the screw (those once aborted
// the study), each with an ordinary start pressure and one that makes every
// trial fail: the study completes on one worker and on two with the same
// bytes, marks the failed searches, and leaves no temporary file.
TEST_F(BatchNeverAborts, OperatingPointStudyOverDiePressuresCompletes) {
  std::string files[2];
  for (int workers = 1; workers <= 2; ++workers) {
    const std::string name = "s" + std::to_string(workers) + ".csv";
    const BatchResult result =
        Batch({DefaultFile, "--study", name, "--set", "DieMode=HeadPressure", "--vary", "DieHeadPressure=5:100:5",
               "--vary", "MeltStartPressure=0,1e300", "--operating-point", "-j",
               std::to_string(workers)});
    ASSERT_EQ(result.Code, BatchExitCompleted) << result.Err;
    EXPECT_NE(result.Out.find(": 40 cases, 40 completed"), std::string::npos) << result.Out;
    EXPECT_TRUE(TemporaryFiles().empty());
    files[workers - 1] = ReadFile(name);
  }
  EXPECT_EQ(files[0], files[1]);
  std::istringstream rows(files[0]);
  std::string header;
  std::getline(rows, header);
  int failed = 0, below = 0, lines = 0;
  for (std::string line; std::getline(rows, line); ++lines) {
    if (line.find("TrialFailed,,TrialFailed") != std::string::npos) ++failed;
    if (line.find(",BelowDieEverywhere,") != std::string::npos) ++below;
  }
  EXPECT_EQ(lines, 40);
  EXPECT_EQ(failed, 20);
  EXPECT_GT(below, 0);
}

// The bound on a search's runs, both sides: an ordinary search ends at its
// tolerance as it always did; one over 0 to 1e300 ends at the bound and says so.
TEST_F(BatchNeverAborts, SearchRunsAreBounded) {
  const struct {
    std::vector<std::string> Args;
    bool Bound;
  } cases[] = {
      {{"--find", "OutputRate=100:1000", "--until", "melted", "--set", "ScrewSpeed=38"}, false},
      {{"--find", "MeltStartPressure=0:1e300", "--until", "die-reached", "--smallest", "--set", "DieMode=HeadPressure",
        "--set", "DieHeadPressure=10"},
       true},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = c.Args;
    args.insert(args.end(), {"--no-report", "--json", "f.json"});
    const BatchResult result = Batch(args);
    ASSERT_EQ(result.Code, BatchExitCompleted) << result.Err;
    const Json find = Json::parse(ReadFile("f.json")).at("find");
    EXPECT_EQ(find.at("Status"), "Found");
    EXPECT_LE(find.at("Runs").get<int>(), 88);
    EXPECT_EQ(find.at("RunBoundReached"), c.Bound);
    EXPECT_EQ(result.Out.find("stopped at the bound on runs") != std::string::npos, c.Bound) << result.Out;
  }
}

// A shard edited to hold a non-finite figure, and a folder among the shards,
// are refused (exit 3) naming the file; nothing is merged.
TEST_F(BatchNeverAborts, MergeRefusesEditedShardsAndFolders) {
  for (const char* shard : {"1/2", "2/2"}) {
    const std::string name = std::string("s") + shard[0] + ".csv";
    ASSERT_EQ(Batch({"--study", name, "--vary", "ScrewSpeed=30,40", "--shard", shard, "-j", "1"}).Code,
              BatchExitCompleted);
  }
  const std::string whole = ReadFile("s2.csv");
  const std::size_t figure = whole.find(",Completed,,true,") + std::string(",Completed,,true,").size();
  fs::create_directory("folder");
  const struct {
    const char* Edit;  // replaces the row's first figure; null: the folder
    const char* Message;
  } cases[] = {
      {"nan", "s2.csv line 3: the field nan is not a finite number"},
      {"-Inf", "s2.csv line 3: the field -Inf is not a finite number"},
      {"INFINITY", "the field INFINITY is not a finite number"},
      {nullptr, "folder could not be read"},
  };
  for (const auto& c : cases) {
    std::string edited = whole;
    if (c.Edit) edited.replace(figure, edited.find(',', figure) - figure, c.Edit);
    WriteFile("s2.csv", edited);
    const BatchResult result = Batch({"--merge", "out.csv", "s1.csv", c.Edit ? "s2.csv" : "folder"});
    EXPECT_EQ(result.Code, BatchExitDataFileRefused) << result.Err;
    EXPECT_NE(result.Err.find(c.Message), std::string::npos) << result.Err;
    EXPECT_FALSE(fs::exists("out.csv"));
  }
  WriteFile("s2.csv", whole);
  EXPECT_EQ(Batch({"--merge", "out.csv", "s1.csv", "s2.csv"}).Code, BatchExitCompleted);
}

// A limit study may vary a die input with die-reached: each case's limit is
// the single search's with that die.
TEST_F(BatchNeverAborts, LimitStudyVaryingTheDie) {
  const std::vector<std::string> search = {"--find", "OutputRate=100:1000", "--until", "die-reached", "--set",
                                           "DieMode=Capillary", "--set", "DieLength=2", "--no-report"};
  std::vector<std::string> study = search;
  study.insert(study.end(), {"--study", "l.csv", "--vary", "DieDiameter=0.3,0"});
  ASSERT_EQ(Batch(study).Code, BatchExitCompleted);
  std::vector<std::string> single = search;
  single.insert(single.end(), {"--set", "DieDiameter=0.3", "--json", "f.json"});
  ASSERT_EQ(Batch(single).Code, BatchExitCompleted);
  const double value = Json::parse(ReadFile("f.json")).at("find").at("Value").get<double>();
  std::istringstream rows(ReadFile("l.csv"));
  std::string header, first, second;
  std::getline(rows, header);
  std::getline(rows, first);
  std::getline(rows, second);
  EXPECT_EQ(std::stod(CsvFields(first).at(2)), value);
  EXPECT_EQ(CsvFields(second).at(3), "HoldsNowhere");  // a die of no diameter is refused, reached nowhere
  // Without die-reached the die's inputs are not judged, and the message says so.
  const BatchResult melted = Batch({"--find", "OutputRate=100:1000", "--until", "melted", "--study", "m.csv", "--vary",
                                    "DieDiameter=0.3,0.5"});
  EXPECT_EQ(melted.Code, BatchExitUsage);
  EXPECT_NE(melted.Err.find("only with --until die-reached"), std::string::npos) << melted.Err;
}

}  // namespace
