#include "results/run_json.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "completed_run.h"
#include "results/input_names.h"
#include "results/profile_csv.h"
#include "results/run_summary.h"

namespace {

using Json = nlohmann::json;

// The JSON of a completed run holds the same doubles as the model, the
// summary and the profile CSV: exactly, since both write round-trip text.
TEST(RunJson, CompletedRunCarriesInputsSummaryAndProfile) {
  const CompletedRun run = RunWith(OutputRateIndex, "600");
  RunSetup setup = InitialRunSetup();
  setup.Texts[OutputRateIndex] = "600";
  const Json json = Json::parse(RunJson(setup, {RunResult::Completed, {}, {}}, *run.State));

  EXPECT_EQ(json["outcome"], "Completed");
  EXPECT_EQ(json["message"], "");
  EXPECT_EQ(json["viscosity_unit"], "gf.s/cm2");
  ASSERT_EQ(json["inputs"].size(), static_cast<std::size_t>(InputCount));
  for (int k = 0; k < InputCount; ++k) {
    const Json& input = json["inputs"][InputNames[k].Name];
    EXPECT_EQ(input["text"], setup.Texts[k]) << k;
    EXPECT_EQ(input["value"].get<double>(), run.State->Inputs.*InputMembers[k]) << k;
  }
  EXPECT_EQ(json["inputs"]["ViscM0"]["unit"], "gf.s/cm2");
  EXPECT_EQ(json["inputs"]["MeltConductivity"]["unit"], "cal/cm.s.\u00B0C");

  const RunSummary summary = SummarizeRun(*run.State);
  const Json& s = json["summary"];
  EXPECT_EQ(s["Melted"], summary.Melted);
  EXPECT_EQ(s["EndPoint"], summary.EndPoint);
  EXPECT_EQ(s["EndTurns"]["value"].get<double>(), summary.EndTurns);
  EXPECT_EQ(s["EndDistance"]["unit"], "cm");
  EXPECT_EQ(s["EndLengthRatio"]["value"].get<double>(), summary.EndLengthRatio);
  EXPECT_EQ(s["MeltingPower"]["value"].get<double>(), summary.MeltingPower);
  EXPECT_EQ(s["SpecificEnergy"]["value"].get<double>(), summary.SpecificEnergy);
  EXPECT_EQ(s["ConveyingAngleDegrees"]["value"].get<double>(), summary.ConveyingAngleDegrees);
  ASSERT_FALSE(summary.Warnings.empty());  // solid is left at 600 kg/hr
  EXPECT_EQ(s["Warnings"].get<std::vector<std::string>>(), summary.Warnings);

  const Json& profile = json["profile"];
  ASSERT_EQ(profile["rows"].size(), static_cast<std::size_t>(run.State->Profile.RowCount));
  ASSERT_EQ(profile["columns"].size(), profile["units"].size());
  std::istringstream csv(ProfileCsv(*run.State));
  std::string line;
  std::getline(csv, line);
  for (const Json& row : profile["rows"]) {
    ASSERT_TRUE(std::getline(csv, line));
    std::istringstream fields(line);
    ASSERT_EQ(row.size(), profile["columns"].size());
    for (const Json& value : row) {
      std::string field;
      std::getline(fields, field, ',');
      EXPECT_EQ(value.get<double>(), std::stod(field)) << line;
    }
  }
}

TEST(RunJson, RunThatDidNotCompleteHasNoSummary) {
  RunSetup setup = InitialRunSetup();
  setup.Texts[1] = "abc";
  setup.UnitIndex = 0;
  const auto state = std::make_unique<ModelState>();
  const Json json = Json::parse(RunJson(setup, {RunResult::Rejected, "Input value is not correct!", {}}, *state));
  EXPECT_EQ(json["outcome"], "Rejected");
  EXPECT_EQ(json["message"], "Input value is not correct!");
  EXPECT_TRUE(json["summary"].is_null());
  EXPECT_TRUE(json["profile"].is_null());
  EXPECT_TRUE(json["inputs"]["FeedTurns"]["value"].is_null());
  EXPECT_EQ(json["inputs"]["FeedTurns"]["text"], "abc");
  EXPECT_EQ(json["inputs"]["ViscM0"]["unit"], "Pa.s");
  EXPECT_EQ(json["viscosity_unit"], "Pa.s");
}

}  // namespace
