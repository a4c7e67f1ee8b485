// chung-batch with the melt-conveying stage: its inputs by name, the JSON
// member "melt", --melt-csv, the study columns, warnings, notes and the exit
// statuses of a stage that refuses or fails, through the real run command.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "batch_test_support.h"
#include "cli/batch_options.h"
#include "cli/batch_run.h"
#include "results/input_names.h"
#include "results/melt_csv.h"
#include "results/melt_run.h"
#include "results/number_text.h"

namespace fs = std::filesystem;
using Json = nlohmann::json;

namespace {

struct BatchResult {
  int Code;
  std::string Out;
  std::string Err;
};

BatchResult Batch(std::vector<std::string> args) {
  std::ostringstream out, err;
  const int code = RunBatch(args, out, err, '.');
  return {code, out.str(), err.str()};
}

const std::string DefaultFile = CHUNG_EXAMPLES_DIR "/default.txt";
const std::vector<std::string> Capillary = {"--set", "DieMode=Capillary", "--set", "DieDiameter=0.5",
                                            "--set", "DieLength=2"};

std::vector<std::string> With(std::vector<std::string> args, const std::vector<std::string>& more) {
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

using BatchMelt = BatchTempDir;

TEST(BatchMeltOptions, StageInputsBySetAndVaryTurnTheStageOn) {
  BatchOptions options;
  std::string error;
  ASSERT_TRUE(ParseBatchArguments({"--set", "DieMode=slit", "--set", "DieSlitGap=0.3"}, options, error)) << error;
  ASSERT_EQ(options.Settings.size(), 2u);
  EXPECT_EQ(options.Settings[0].Input, InputCount + DieModeInput);
  EXPECT_EQ(options.Settings[0].Text, "Slit");  // the batch tool's short word
  EXPECT_EQ(options.Settings[1].Input, InputCount + DieSlitGapInput);
  EXPECT_TRUE(options.MeltStageOn());

  ASSERT_TRUE(ParseBatchArguments({"--study", "s.csv", "--vary", "DieDiameter=0.4:0.6:0.1"}, options, error));
  EXPECT_TRUE(options.MeltStageOn());
  ASSERT_TRUE(ParseBatchArguments({"--study", "s.csv", "--vary", "ScrewSpeed=30,40"}, options, error));
  EXPECT_FALSE(options.MeltStageOn());
  ASSERT_TRUE(ParseBatchArguments({"--operating-point"}, options, error));
  EXPECT_TRUE(options.MeltStageOn());

  EXPECT_FALSE(ParseBatchArguments({"--study", "s.csv", "--melt-csv", "m.csv"}, options, error));
  EXPECT_NE(error.find("--melt-csv"), std::string::npos) << error;
  for (const std::vector<std::string>& find :
       {std::vector<std::string>{"--find", "DieDiameter=0.1:1", "--until", "melted"},
        {"--find", "OutputRate=100:900", "--until", "melted", "--melt"},
        {"--find", "OutputRate=100:900", "--until", "melted", "--set", "DieMode=slit"}}) {
    EXPECT_FALSE(ParseBatchArguments(find, options, error)) << find[1];
    EXPECT_NE(error.find("melt-conveying stage"), std::string::npos) << error;
  }
  EXPECT_FALSE(ParseBatchArguments({"--set", "DieSize=1"}, options, error));
  EXPECT_NE(error.find("DieMode, DieHeadPressure, DieDiameter"), std::string::npos) << error;
  EXPECT_NE(error.find("MeltStartPressure"), std::string::npos) << error;
}

// The command an engineer types first: the default file through the 5 x 20
// mm capillary, with the operating point.
TEST_F(BatchMelt, CapillaryOperatingPointOfTheDefaultFile) {
  const BatchResult result =
      Batch(With({DefaultFile}, With(Capillary, {"--operating-point", "--json", "r.json"})));
  ASSERT_EQ(result.Code, BatchExitCompleted) << result.Err;
  const Json run = Json::parse(ReadFile("r.json"));
  const Json& melt = run["melt"];
  ASSERT_TRUE(melt.is_object());
  EXPECT_EQ(run["inputs"]["DieMode"]["text"], "Capillary");
  EXPECT_EQ(run["inputs"]["DieDiameter"]["value"], 0.5);
  EXPECT_EQ(run["inputs"]["MeltStartPressure"]["unit"], "MPa");
  EXPECT_NEAR(melt["Common"]["DieConductance"].get<double>(), 7.669904e-4, 1e-10);
  const struct {
    const char* Bound;
    double DiePressure, Margin, Output, TipAtOutput, TipTemperature;
  } figures[] = {{"Adiabatic", 5.895011, -5.991859, 291.513838, 5.615236, 283.54367},
                 {"Barrel", 4.558603, -4.188443, 287.070954, 4.393964, 290}};
  for (const auto& f : figures) {
    const Json& summary = melt["Summary"][f.Bound];
    EXPECT_NEAR(summary["DiePressure"].get<double>(), f.DiePressure, 1e-6) << f.Bound;
    EXPECT_NEAR(summary["PressureMargin"].get<double>(), f.Margin, 1e-6) << f.Bound;
    const Json& point = melt["OperatingPoint"][f.Bound];
    EXPECT_EQ(point["Status"], "Found");
    EXPECT_NEAR(point["Output"].get<double>(), f.Output, 1e-6) << f.Bound;
    EXPECT_NEAR(point["TipPressure"].get<double>(), f.TipAtOutput, 1e-6) << f.Bound;
    EXPECT_NEAR(point["TipMeltTemperature"].get<double>(), f.TipTemperature, 1e-5) << f.Bound;
    EXPECT_EQ(point["Evaluations"], f.Bound[0] == 'A' ? 14 : 13);
  }
  // At 300 kg/hr: W1 and W2 per bound, W3 and the best estimate's W2 are warnings, W6 a note.
  EXPECT_EQ(Count(result.Err, "note: "), 1u) << result.Err;
  EXPECT_EQ(Count(result.Err, "warning: "), 6u) << result.Err;
  EXPECT_NE(result.Out.find("Melt stage (best estimate): tip pressure 1.364 MPa (bounds -0.097 to 0.370), die needs "
                            "4.219 MPa (bounds 4.559 to 5.895), tip melt temperature 292.2 degC (bounds 282.9 to "
                            "290.0)\n"),
            std::string::npos)
      << result.Out;
  EXPECT_NE(result.Out.find("Operating point (best estimate): 293.020 kg/hr (bounds 287.071 to 291.514)\n"),
            std::string::npos)
      << result.Out;
}

// The operating point as printed, put back as the output, reaches the die:
// its margin reads 0.000 MPa, so no DieNotReached for that bound.
TEST_F(BatchMelt, OperatingPointPutBackReachesTheDie) {
  const BatchResult found =
      Batch(With({DefaultFile, "--no-report", "--operating-point", "--json", "found.json"}, Capillary));
  ASSERT_EQ(found.Code, BatchExitCompleted) << found.Err;
  const std::string lead = "Operating point (best estimate): ";
  const std::size_t at = found.Out.find(lead);
  ASSERT_NE(at, std::string::npos) << found.Out;
  std::istringstream line(found.Out.substr(at + lead.size()));
  std::string best, unit, bounds, low, to, high;
  line >> best >> unit >> bounds >> low >> to >> high;
  high = high.substr(0, high.find(')'));
  EXPECT_EQ(low, "287.071");
  const Json points = Json::parse(ReadFile("found.json"))["melt"]["OperatingPoint"];
  for (const char* profile : {"Adiabatic", "Barrel", "BestEstimate"}) {
    SCOPED_TRACE(profile);
    const std::string output = FixedText(points[profile]["Output"].get<double>(), 3);
    ASSERT_TRUE(output == best || output == low || output == high) << output;
    const BatchResult run =
        Batch(With({DefaultFile, "--no-report", "--set", "OutputRate=" + output, "--json", "r.json"}, Capillary));
    ASSERT_EQ(run.Code, BatchExitCompleted) << run.Err;
    const Json melt = Json::parse(ReadFile("r.json"))["melt"];
    EXPECT_LE(std::fabs(melt["Summary"][profile]["PressureMargin"].get<double>()), 0.0005);
    for (const Json& warning : melt["Warnings"])
      EXPECT_FALSE(warning["Code"] == "DieNotReached" && warning["Bound"] == profile) << warning.dump();
  }
}

// The largest output whose tip pressure reaches the die's need for both
// bounds is just above the lower of the two operating points.
TEST_F(BatchMelt, LimitSearchUntilTheDieIsReachedMeetsTheOperatingPoint) {
  const BatchResult result = Batch(
      With({DefaultFile, "--no-report", "--find", "OutputRate=100:400", "--until", "die-reached"}, Capillary));
  ASSERT_EQ(result.Code, BatchExitCompleted) << result.Err;
  const std::string lead = "largest OutputRate where die-reached holds: ";
  ASSERT_TRUE(result.Out.starts_with(lead)) << result.Out;
  // A little above it: up to where the margin reads -0.001 MPa.
  const double limit = std::stod(result.Out.substr(lead.size()));
  EXPECT_GT(limit, 287.070954) << result.Out;
  EXPECT_LT(limit, 287.0728) << result.Out;
  const BatchResult refused =
      Batch({DefaultFile, "--set", "DieMode=Tube", "--find", "OutputRate=100:400", "--until", "die-reached"});
  EXPECT_EQ(refused.Code, BatchExitRejected);
  EXPECT_NE(refused.Err.find("Value of Die Mode is not correct!"), std::string::npos) << refused.Err;
}

// Warnings count for --strict, the note never does.
TEST_F(BatchMelt, StrictCountsStageWarningsButNotTheNote) {
  const BatchResult warned = Batch(With({DefaultFile, "--no-report", "--strict"}, Capillary));
  EXPECT_EQ(warned.Code, BatchExitWarnings) << warned.Err;
  // At 250 kg/hr the stage's only finding is the note.
  const BatchResult noted =
      Batch(With({DefaultFile, "--no-report", "--strict", "--set", "OutputRate=250"}, Capillary));
  EXPECT_EQ(Count(noted.Err, "note: "), 1u) << noted.Err;
  EXPECT_EQ(Count(noted.Err, "warning: "), 0u) << noted.Err;
  EXPECT_EQ(noted.Code, BatchExitCompleted) << noted.Err;
}

// The stage's refusals and its fault end the run with 1 and 2 and the
// stage's message, after the melting run's report and exports are written.
TEST_F(BatchMelt, StageRefusalOrFaultExitsAfterTheReport) {
  const struct {
    std::vector<std::string> Settings;
    int Code;
    const char* Message;
  } cases[] = {
      {{"--set", "DieMode=Tube"}, BatchExitRejected, "Value of Die Mode is not correct!"},
      {{"--set", "DieMode=capillary", "--set", "DieDiameter=0"}, BatchExitRejected,
       "Value of Die Diameter is not correct!"},
      {{"--set", "DieMode=slit", "--set", "DieSlitGap=20"}, BatchExitRejected, "Value of Die Slit Gap is not correct!"},
      {{"--set", "MeltStartPressure=-1"}, BatchExitRejected, "Value of Melt Start Pressure is not correct!"},
      {{"--melt", "--set", "ViscM0=-1"}, BatchExitRejected, "Value of Viscosity Equation Para. (m0) is not correct!"},
      {{"--set", "DieMode=capillary", "--set", "DieDiameter=1e-300"}, BatchExitFailed,
       "Melt-conveying stage: floating point fault while computing DieShearRate. Check the die's inputs: Die Diameter "
       "1e-300 cm, Die Length 2 cm, Melt Start Pressure 0 MPa"},
  };
  for (const auto& c : cases) {
    fs::remove("out.txt");
    const BatchResult result =
        Batch(With({DefaultFile, "-o", "out.txt", "--csv", "p.csv", "--json", "r.json", "--melt-csv", "m.csv"},
                   c.Settings));
    EXPECT_EQ(result.Code, c.Code) << c.Message;
    EXPECT_NE(result.Err.find(std::string(c.Message) + "\n"), std::string::npos) << result.Err;
    EXPECT_TRUE(fs::exists("out.txt")) << c.Message;
    EXPECT_TRUE(fs::exists("p.csv")) << c.Message;
    EXPECT_FALSE(fs::exists("m.csv")) << c.Message;
    const Json run = Json::parse(ReadFile("r.json"));
    EXPECT_EQ(run["outcome"], "Completed");
    EXPECT_TRUE(run["melt"].is_null()) << c.Message;
  }
}

TEST_F(BatchMelt, MeltCsvHoldsTheStageRowsWholeOrNotAtAll) {
  const BatchResult result = Batch(With({DefaultFile, "--no-report", "--melt-csv", "m.csv"}, Capillary));
  ASSERT_EQ(result.Code, BatchExitCompleted) << result.Err;
  // The same bytes as the writer gives for the same run.
  const auto state = std::make_unique<ModelState>();
  RunSetup setup = InitialRunSetup();
  setup.MeltStage = true;
  setup.Melt[DieModeInput] = "Capillary";
  class Silent : public UserMessages {
    void ShowMessage(const std::string&) override {}
  } silent;
  const MeltRunResult run = RunWithMelt(*state, setup, silent, ReportWriting::Skip);
  ASSERT_TRUE(run.StageCompleted());
  const std::string csv = ReadFile("m.csv");
  EXPECT_EQ(csv, MeltCsv(run.Stage));
  EXPECT_EQ(Lines(csv).size(), static_cast<std::size_t>(run.Stage.Common.TipIndex) + 2);

  // Same file as the data file: a usage error before anything runs.
  WriteFile("data.txt", ReadFile(DefaultFile));
  const BatchResult same = Batch({"data.txt", "--no-report", "--melt-csv", "data.txt"});
  EXPECT_EQ(same.Code, BatchExitUsage);
  EXPECT_NE(same.Err.find("--melt-csv"), std::string::npos) << same.Err;
  EXPECT_EQ(ReadFile("data.txt"), ReadFile(DefaultFile));
  // A folder that is not there: exit 2, no file.
  const BatchResult unwritable = Batch({DefaultFile, "--no-report", "--melt", "--melt-csv", "no/such/m.csv"});
  EXPECT_EQ(unwritable.Code, BatchExitFailed);
  EXPECT_NE(unwritable.Err.find("melt CSV file was not written"), std::string::npos) << unwritable.Err;
  EXPECT_FALSE(fs::exists("no"));
}

// A study over die diameters: the stage's columns after the melting run's,
// one operating point per case, the same as a single run gives.
TEST_F(BatchMelt, StudyOverDieDiameterGainsTheStageColumns) {
  const BatchResult result = Batch({DefaultFile, "--study", "s.csv", "-j", "2", "--operating-point", "--set",
                                    "DieMode=capillary", "--set", "DieLength=2", "--vary", "DieDiameter=0,0.5"});
  ASSERT_EQ(result.Code, BatchExitCompleted) << result.Err;
  const std::vector<std::string> lines = Lines(ReadFile("s.csv"));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_TRUE(lines[0].starts_with("case,DieDiameter (cm),outcome,")) << lines[0];
  EXPECT_NE(lines[0].find(",warnings,melt outcome,melt message,adiabatic tip pressure (MPa),"), std::string::npos);
  EXPECT_TRUE(lines[0].ends_with(",barrel bound operating point (kg/hr),barrel bound operating point status,"
                                 "best estimate operating point (kg/hr),best estimate operating point status,"
                                 "melt warnings"))
      << lines[0];
  for (const std::string& line : lines) EXPECT_EQ(Count(line, ","), Count(lines[0], ",")) << line;
  EXPECT_NE(lines[1].find(",Rejected,Value of Die Diameter is not correct!,"), std::string::npos) << lines[1];
  EXPECT_NE(lines[2].find(",Completed,,"), std::string::npos) << lines[2];
  EXPECT_NE(lines[2].find(",291.51383"), std::string::npos) << lines[2];
  EXPECT_NE(lines[2].find(",Found,287.07095"), std::string::npos) << lines[2];
  EXPECT_NE(lines[2].find(",Found,293.02044"), std::string::npos) << lines[2];
  EXPECT_TRUE(lines[2].ends_with("BoundsFarApart | DieNotReached (BestEstimate)")) << lines[2];

  // Each stage column by value: a single run of the second case in JSON.
  ASSERT_EQ(Batch({DefaultFile, "--no-report", "--json", "one.json", "--operating-point", "--set", "DieMode=capillary",
                   "--set", "DieLength=2", "--set", "DieDiameter=0.5"})
                .Code,
            BatchExitCompleted);
  const Json melt = Json::parse(ReadFile("one.json"))["melt"];
  const std::vector<std::string> header = CsvFields(lines[0]), row = CsvFields(lines[2]);
  const struct {
    const char* Column;
    const char* Part;
    const char* Member;
  } columns[] = {{"tip pressure (MPa)", "Summary", "TipPressure"},
                 {"peak pressure (MPa)", "Summary", "PeakPressure"},
                 {"die pressure (MPa)", "Summary", "DiePressure"},
                 {"pressure margin (MPa)", "Summary", "PressureMargin"},
                 {"tip melt temperature (\u00B0C)", "Summary", "TipMeltTemperature"},
                 {"operating point (kg/hr)", "OperatingPoint", "Output"},
                 {"operating point status", "OperatingPoint", "Status"}};
  for (const auto& [prefix, bound] : {std::pair{"adiabatic ", "Adiabatic"}, std::pair{"barrel bound ", "Barrel"}}) {
    for (const auto& c : columns) {
      const std::string name = prefix + std::string(c.Column);
      const auto at = std::find(header.begin(), header.end(), name);
      ASSERT_NE(at, header.end()) << name;
      const Json& value = melt[c.Part][bound][c.Member];
      const std::string& cell = row[static_cast<std::size_t>(at - header.begin())];
      if (value.is_string()) {
        EXPECT_EQ(cell, value.get<std::string>()) << name;
      } else {
        EXPECT_EQ(std::stod(cell), value.get<double>()) << name;
      }
    }
  }

  // DieMode varies by its words; the study file shows them.
  ASSERT_EQ(Batch({DefaultFile, "--study", "m.csv", "--vary", "DieMode=none,Slit"}).Code, BatchExitCompleted);
  const std::vector<std::string> modes = Lines(ReadFile("m.csv"));
  ASSERT_EQ(modes.size(), 3u);
  EXPECT_TRUE(modes[1].starts_with("1,None,Completed,")) << modes[1];
  EXPECT_TRUE(modes[2].starts_with("2,Slit,Completed,")) << modes[2];
}

}  // namespace
