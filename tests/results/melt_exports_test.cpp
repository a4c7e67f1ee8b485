// What results/ makes of the melt-conveying stage: the stage inputs by name,
// the JSON member "melt" against the names docs/run.schema.json documents,
// the CSV rows, and study axes over the stage's inputs.

#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "results/input_names.h"
#include "results/melt_csv.h"
#include "results/melt_run.h"
#include "results/number_text.h"
#include "results/run_json.h"
#include "results/study_plan.h"

using Json = nlohmann::json;

namespace {

class Silent : public UserMessages {
 public:
  void ShowMessage(const std::string&) override {}
};

// The default file's run (the initial texts) with the 5 x 20 mm capillary.
struct CapillaryRun {
  std::unique_ptr<ModelState> State = std::make_unique<ModelState>();
  RunSetup Setup = InitialRunSetup();
  MeltRunResult Result;

  explicit CapillaryRun(bool operatingPoint) {
    Setup.MeltStage = true;
    Setup.Melt[DieModeInput] = "Capillary";
    Silent silent;
    Result = RunWithMelt(*State, Setup, silent, ReportWriting::Skip, operatingPoint);
  }
};

Json Schema() {
  std::ifstream in(CHUNG_DOCS_DIR "/run.schema.json");
  return Json::parse(in);
}

std::vector<std::string> Keys(const Json& object) {
  std::vector<std::string> keys;
  for (const auto& [key, value] : object.items()) keys.push_back(key);
  return keys;
}

// Every member a definition of the schema names, in its order.
std::vector<std::string> SchemaMembers(const Json& schema, const std::string& definition) {
  return Keys(schema["$defs"][definition]["properties"]);
}

template <double MeltPoint::*Member>
std::optional<double> Plain(const MeltPoint& point) {
  return point.*Member;
}
template <std::optional<double> MeltPoint::*Member>
std::optional<double> Maybe(const MeltPoint& point) {
  return point.*Member;
}
template <int Bound, double MeltBoundPoint::*Member>
std::optional<double> OfBound(const MeltPoint& point) {
  return point.Bounds[Bound].*Member;
}

// Each number of a stage row: its JSON member (inside the bound's object
// when Bound is named), its CSV column and the point's value.
struct RowFigure {
  const char* Member;
  const char* Bound;
  std::size_t Column;
  std::optional<double> (*Value)(const MeltPoint&);
};
const RowFigure RowFigures[] = {
    {"Turn", nullptr, 1, Plain<&MeltPoint::Turn>},
    {"ChannelLength", nullptr, 3, Plain<&MeltPoint::ChannelLength>},
    {"Depth", nullptr, 4, Plain<&MeltPoint::Depth>},
    {"FlowWidth", nullptr, 7, Plain<&MeltPoint::FlowWidth>},
    {"MeltFlowRate", nullptr, 8, Plain<&MeltPoint::MeltFlowRate>},
    {"DragFlowRate", nullptr, 9, Maybe<&MeltPoint::DragFlowRate>},
    {"FlowRatio", nullptr, 10, Maybe<&MeltPoint::FlowRatio>},
    {"DragShapeFactor", nullptr, 11, Maybe<&MeltPoint::DragShapeFactor>},
    {"PressureShapeFactor", nullptr, 12, Maybe<&MeltPoint::PressureShapeFactor>},
    {"ShearRate", nullptr, 13, Plain<&MeltPoint::ShearRate>},
    {"Temperature", "Adiabatic", 14, OfBound<0, &MeltBoundPoint::Temperature>},
    {"Viscosity", "Adiabatic", 15, OfBound<0, &MeltBoundPoint::Viscosity>},
    {"Gradient", "Adiabatic", 16, OfBound<0, &MeltBoundPoint::Gradient>},
    {"Pressure", "Adiabatic", 17, OfBound<0, &MeltBoundPoint::Pressure>},
    {"Temperature", "Barrel", 18, OfBound<1, &MeltBoundPoint::Temperature>},
    {"Viscosity", "Barrel", 19, OfBound<1, &MeltBoundPoint::Viscosity>},
    {"Gradient", "Barrel", 20, OfBound<1, &MeltBoundPoint::Gradient>},
    {"Pressure", "Barrel", 21, OfBound<1, &MeltBoundPoint::Pressure>},
};

TEST(MeltInputNames, StageInputsFollowTheModelsWithTheirUnits) {
  const struct {
    const char* Name;
    int Index;
    const char* Unit;
  } inputs[] = {{"DieMode", 28, "-"},          {"DieHeadPressure", 29, "MPa"}, {"DieDiameter", 30, "cm"},
                {"DieSlitGap", 33, "cm"},      {"DieConstant", 34, "cm3"},     {"MeltStartPressure", 35, "MPa"},
                {"StartWidthRatio", 27, "-"}};
  for (const auto& input : inputs) {
    EXPECT_EQ(FindInputByName(input.Name), input.Index) << input.Name;
    EXPECT_EQ(InputUnit(input.Index, 0), input.Unit) << input.Name;
  }
  EXPECT_FALSE(FindInputByName("diediameter"));
  EXPECT_TRUE(InputNameList().ends_with("StartWidthRatio, DieMode, DieHeadPressure, DieDiameter, DieLength, "
                                        "DieSlitWidth, DieSlitGap, DieConstant, MeltStartPressure, "
                                        "BarrelHeatTransferFactor"));
  const std::pair<const char*, const char*> words[] = {
      {"none", "None"}, {"pressure", "HeadPressure"}, {"capillary", "Capillary"}, {"slit", "Slit"},
      {"constant", "Constant"}, {"Slit", "Slit"}, {"Capillary ", "Capillary "}, {"CAPILLARY", "CAPILLARY"}};
  for (const auto& [typed, mode] : words) EXPECT_EQ(DieModeText(typed), mode) << typed;
}

TEST(MeltStudyAxes, StageInputsVaryByNameAndDieModeByWord) {
  std::string error;
  StudyPlan plan;
  plan.Axes.push_back(*ParseStudyAxis("DieMode=capillary,Slit", '.', error));
  plan.Axes.push_back(*ParseStudyAxis("DieDiameter=0.4:0.6:0.1", '.', error));
  plan.Axes.push_back(*ParseStudyAxis("ScrewSpeed=40", '.', error));
  ASSERT_TRUE(StudyVariesMeltInput(plan));
  ASSERT_EQ(StudyCaseCount(plan), 6u);
  MeltTexts melt = InitialMeltTexts();
  RunTexts texts = InitialRunTexts();
  ApplyStudyCase(plan, 5, melt);  // Slit, 0.5
  ApplyStudyCase(plan, 5, texts);
  EXPECT_EQ(melt[DieModeInput], "Slit");
  EXPECT_EQ(melt[DieDiameterInput], "0.5");
  EXPECT_EQ(melt[DieLengthInput], InitialMeltTexts()[DieLengthInput]);
  EXPECT_EQ(texts[9], "40");
  EXPECT_EQ(texts[10], InitialRunTexts()[10]);

  plan.Axes.erase(plan.Axes.begin());
  plan.Axes.erase(plan.Axes.begin());
  EXPECT_FALSE(StudyVariesMeltInput(plan));
}

// "melt" holds exactly the members the schema documents, in its order, for
// the stage record the run produced.
TEST(MeltJson, MembersAreTheSchemasAndValuesTheStages) {
  const CapillaryRun run(true);
  ASSERT_TRUE(run.Result.StageCompleted());
  ASSERT_TRUE(run.Result.OperatingPoints);
  const Json json = Json::parse(RunJson(run.Setup, run.Result.Outcomes.Run, *run.State, &run.Result));
  const Json schema = Schema();

  // Every member but "find" and "material", which only a search's document
  // and a run with a named material have.
  Json members = schema["properties"];
  members.erase("find");
  members.erase("material");
  EXPECT_EQ(Keys(json), Keys(members));
  EXPECT_EQ(json["inputs"].size(), static_cast<std::size_t>(NamedInputCount));
  EXPECT_TRUE(json["inputs"]["DieMode"]["value"].is_null());
  const Json& m = json["melt"];
  EXPECT_EQ(Keys(m), SchemaMembers(schema, "melt"));
  EXPECT_EQ(Keys(m["Common"]), SchemaMembers(schema, "meltCommon"));
  for (const char* bound : {"Adiabatic", "Barrel", "BestEstimate"}) {
    EXPECT_EQ(Keys(m["OperatingPoint"][bound]), SchemaMembers(schema, "meltOperatingPoint"));
  }
  for (const char* bound : {"Adiabatic", "Barrel"}) {
    EXPECT_EQ(Keys(m["Summary"][bound]), SchemaMembers(schema, "meltBoundSummary"));
  }
  EXPECT_EQ(Keys(m["Summary"]["BestEstimate"]), SchemaMembers(schema, "meltBestEstimateSummary"));
  const MeltStage& stage = run.Result.Stage;
  ASSERT_EQ(m["Rows"].size(), stage.Points.size());
  for (std::size_t j = 0; j < stage.Points.size(); ++j) {
    const Json& row = m["Rows"][j];
    const MeltPoint& point = stage.Points[j];
    EXPECT_EQ(Keys(row), SchemaMembers(schema, "meltRow"));
    EXPECT_EQ(Keys(row["Barrel"]), SchemaMembers(schema, "meltBoundPoint"));
    EXPECT_EQ(row["Index"], point.Index);
    EXPECT_EQ(row["Zone"], ScrewZoneName(point.Zone));
    EXPECT_EQ(row["Melting"], point.Melting);
    EXPECT_EQ(row["Active"], point.Active);
    for (const RowFigure& figure : RowFigures) {
      const Json& value = figure.Bound ? row[figure.Bound][figure.Member] : row[figure.Member];
      const std::optional<double> expected = figure.Value(point);
      EXPECT_EQ(value.is_null() ? std::nullopt : std::optional<double>(value.get<double>()), expected)
          << "row " << j << " " << figure.Member;
    }
  }
  EXPECT_EQ(m["Summary"]["Barrel"]["TipPressure"].get<double>(), stage.Summary[1].TipPressure);
  EXPECT_EQ(m["OperatingPoint"]["Adiabatic"]["Output"].get<double>(), run.Result.OperatingPoints->Adiabatic.Output);

  const Json& codes = schema["$defs"]["meltWarning"]["properties"]["Code"]["enum"];
  ASSERT_EQ(m["Warnings"].size(), stage.Warnings.size());
  for (std::size_t w = 0; w < stage.Warnings.size(); ++w) {
    const Json& warning = m["Warnings"][w];
    EXPECT_NE(std::find(codes.begin(), codes.end(), warning["Code"]), codes.end()) << warning.dump();
    EXPECT_EQ(warning.contains("Bound"), stage.Warnings[w].Bound.has_value()) << warning.dump();
    EXPECT_EQ(warning["Text"], stage.Warnings[w].Text);
    for (const MeltWarningFigure& figure : stage.Warnings[w].Figures)
      EXPECT_EQ(warning[figure.Name].get<double>(), figure.Value) << warning.dump();
  }
}

// Without the stage the file is the one it always was, "melt" null at its end.
TEST(MeltJson, RunWithoutTheStageHasMeltNull) {
  const CapillaryRun run(false);
  RunSetup melting = run.Setup;
  melting.MeltStage = false;
  const std::string without = RunJson(melting, run.Result.Outcomes.Run, *run.State);
  const Json json = Json::parse(without);
  EXPECT_EQ(json["inputs"].size(), static_cast<std::size_t>(InputCount));
  EXPECT_TRUE(json["melt"].is_null());
  EXPECT_TRUE(without.ends_with("\n  },\n  \"melt\": null\n}\n"));
  // Asked for but refused: the stage's inputs are there, its results are not.
  const MeltRunResult refused;
  const Json asked = Json::parse(RunJson(run.Setup, run.Result.Outcomes.Run, *run.State, &refused));
  EXPECT_EQ(asked["inputs"].size(), static_cast<std::size_t>(NamedInputCount));
  EXPECT_TRUE(asked["melt"].is_null());
}

TEST(MeltCsv, OneLinePerGridPointWithBothBounds) {
  const CapillaryRun run(false);
  ASSERT_TRUE(run.Result.StageCompleted());
  const MeltStage& stage = run.Result.Stage;
  std::istringstream csv(MeltCsv(stage));
  std::string line;
  std::getline(csv, line);
  const auto fields = [](const std::string& text) {
    std::vector<std::string> parts;
    std::istringstream in(text + ",");
    for (std::string part; std::getline(in, part, ',');) parts.push_back(part);
    return parts;
  };
  const std::vector<std::string> header = fields(line);
  ASSERT_EQ(header.size(), 26u);
  EXPECT_EQ(header[17], "adiabatic pressure (MPa)");
  EXPECT_EQ(header[21], "barrel bound pressure (MPa)");
  EXPECT_EQ(header[25], "best estimate pressure (MPa)");
  std::size_t inactive = 0;
  for (const MeltPoint& point : stage.Points) {
    ASSERT_TRUE(std::getline(csv, line));
    const std::vector<std::string> row = fields(line);
    ASSERT_EQ(row.size(), header.size()) << line;
    EXPECT_EQ(row[0], std::to_string(point.Index));
    EXPECT_EQ(row[2], ScrewZoneName(point.Zone));
    EXPECT_EQ(row[5], point.Melting ? "true" : "false");
    EXPECT_EQ(row[6], point.Active ? "true" : "false");
    for (const RowFigure& figure : RowFigures) {
      const std::optional<double> expected = figure.Value(point);
      EXPECT_EQ(row[figure.Column], expected ? RoundTripText(*expected) : "") << line << " " << figure.Member;
    }
    inactive += !point.Active;
  }
  EXPECT_EQ(inactive, static_cast<std::size_t>(stage.Common.NarrowPoolCount));
  EXPECT_FALSE(std::getline(csv, line));
}

}  // namespace
