#include "results/study_plan.h"

#include "materials/material_inputs.h"
#include "results/input_names.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct AxisCase {
  std::string Argument;
  char Separator;
  std::vector<std::string> Texts;  // what the runs read
  std::vector<double> Values;      // what the study file shows
};

void PrintTo(const AxisCase& c, std::ostream* os) { *os << c.Argument << " [" << c.Separator << "]"; }

class StudyAxisValues : public ::testing::TestWithParam<AxisCase> {};

TEST_P(StudyAxisValues, AreTheRangeOrTheListInOrder) {
  std::string error;
  const std::optional<StudyAxis> axis = ParseStudyAxis(GetParam().Argument, GetParam().Separator, error);
  ASSERT_TRUE(axis) << error;
  std::vector<std::string> texts;
  std::vector<double> values;
  for (uint64_t k = 0; k < axis->Count; ++k) {
    texts.push_back(StudyAxisText(*axis, k));
    values.push_back(StudyAxisValue(*axis, k));
  }
  EXPECT_EQ(texts, GetParam().Texts);
  EXPECT_EQ(values, GetParam().Values);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, StudyAxisValues,
    ::testing::Values(
        AxisCase{"ScrewSpeed=30:40:5", '.', {"30", "35", "40"}, {30, 35, 40}},
        // FROM + k x STEP: a running sum would end at 0.9999999999999999.
        AxisCase{"BarrelB1=0:1:0.1", '.',
                 {"0", "0.1", "0.2", "0.30000000000000004", "0.4", "0.5", "0.6000000000000001",
                  "0.7000000000000001", "0.8", "0.9", "1"},
                 {0, 0.1, 0.2, 0.30000000000000004, 0.4, 0.5, 0.6000000000000001, 0.7000000000000001, 0.8,
                  0.9, 1}},
        // 3 x 0.1 lies above 0.3, but within a millionth of the step.
        AxisCase{"BarrelB1=0:0.3:0.1", '.', {"0", "0.1", "0.2", "0.30000000000000004"},
                 {0, 0.1, 0.2, 0.30000000000000004}},
        AxisCase{"OutputRate=300:200:-50", '.', {"300", "250", "200"}, {300, 250, 200}},
        AxisCase{"ScrewSpeed=30:44:5", '.', {"30", "35", "40"}, {30, 35, 40}},
        AxisCase{"ScrewSpeed=7:7:1", '.', {"7"}, {7}},
        // TO reached within a millionth of STEP, not more: 31 overshoots the
        // first by 0.4 millionths of the step, the others by 2 and by 200.
        AxisCase{"ScrewSpeed=30:30.9999998:0.5", '.', {"30", "30.5", "31"}, {30, 30.5, 31}},
        AxisCase{"ScrewSpeed=30:30.999999:0.5", '.', {"30", "30.5"}, {30, 30.5}},
        AxisCase{"ScrewSpeed=30:30.9999:0.5", '.', {"30", "30.5"}, {30, 30.5}},
        AxisCase{"BarrelB2=-1e-3:1e-3:1e-3", '.', {"-0.001", "0", "0.001"}, {-1e-3, 0, 1e-3}},
        AxisCase{"ViscN=0,5:1:0,25", ',', {"0,5", "0,75", "1"}, {0.5, 0.75, 1}},
        AxisCase{"ViscN=0.5,0.7, 1e0 ", '.', {"0.5", "0.7", " 1e0 "}, {0.5, 0.7, 1}},
        AxisCase{"ViscN=0,5;0,7", ',', {"0,5", "0,7"}, {0.5, 0.7}},
        // ';' in every locale; ',' also between values where it is no decimal separator.
        AxisCase{"OutputRate=200;300", '.', {"200", "300"}, {200, 300}},
        AxisCase{"OutputRate=200;300", ',', {"200", "300"}, {200, 300}},
        AxisCase{"OutputRate=200,300", '.', {"200", "300"}, {200, 300}},
        AxisCase{"OutputRate=200,300", ',', {"200,300"}, {200.3}},
        AxisCase{"OutputRate=200.5;300,250", '.', {"200.5", "300", "250"}, {200.5, 300, 250}},
        AxisCase{"MeltingPoint=255", '.', {"255"}, {255}}));

TEST(StudyCases, LastAxisVariesFastestAndShardsSplitByCaseNumber) {
  std::string error;
  StudyPlan plan;
  plan.Axes.push_back(*ParseStudyAxis("ScrewSpeed=30,40", '.', error));
  plan.Axes.push_back(*ParseStudyAxis("OutputRate=100:300:100", '.', error));
  ASSERT_EQ(StudyCaseCount(plan), 6u);

  const std::vector<std::pair<std::string, std::string>> expected = {
      {"30", "100"}, {"30", "200"}, {"30", "300"}, {"40", "100"}, {"40", "200"}, {"40", "300"}};
  for (uint64_t c = 1; c <= 6; ++c) {
    RunTexts texts = InitialRunTexts();
    ApplyStudyCase(plan, c, texts);
    EXPECT_EQ(texts[9], expected[c - 1].first) << c;
    EXPECT_EQ(texts[10], expected[c - 1].second) << c;
    EXPECT_EQ(texts[0], "15.0") << c;
  }

  // Shard K of N: the case numbers whose remainder modulo N is K - 1.
  const std::vector<std::pair<StudyShard, std::vector<uint64_t>>> shards = {
      {{1, 1}, {1, 2, 3, 4, 5, 6}}, {{1, 4}, {4}}, {{2, 4}, {1, 5}}, {{4, 4}, {3}},
      {{3, 6}, {2}},                {{1, 7}, {}}};
  for (const auto& [shard, numbers] : shards) {
    std::vector<uint64_t> got;
    for (uint64_t j = 0; j < ShardCaseCount(6, shard); ++j) got.push_back(ShardCaseNumber(shard, j));
    EXPECT_EQ(got, numbers) << shard.Index << "/" << shard.Count;
  }

  plan.Axes.push_back(*ParseStudyAxis("FeedTurns=1:10000:1", '.', error));
  plan.Axes.push_back(*ParseStudyAxis("MeteringTurns=1:1000:1", '.', error));
  EXPECT_EQ(StudyCaseCount(plan), MaxStudyCases + 1);
}

// The count is exact past what 64 bits hold, and says so where even 128 bits
// do not.
TEST(StudyCases, CountTextIsExactHoweverLarge) {
  std::string error;
  StudyPlan plan;
  for (const char* name : {"FeedTurns", "MeteringTurns", "CompressionTurns", "DelayTurns"}) {
    plan.Axes.push_back(*ParseStudyAxis(std::string(name) + "=1:100000:1", '.', error));
  }
  EXPECT_EQ(StudyCaseCountText(plan), "100000000000000000000");
  EXPECT_EQ(StudyCaseCount(plan), MaxStudyCases + 1);
  for (const char* name : {"ScrewSpeed", "OutputRate", "BarrelB0", "BarrelB1", "BarrelB2"}) {
    plan.Axes.push_back(*ParseStudyAxis(std::string(name) + "=1:9000000:1", '.', error));
  }
  EXPECT_EQ(StudyCaseCountText(plan), "more than 340282366920938463463374607431768211455");
}

// A range may give as many values as the largest study has cases, not one more.
TEST(StudyAxisRefusals, RangeHoldsAtMostTheLargestStudy) {
  std::string error;
  const std::optional<StudyAxis> largest = ParseStudyAxis("ScrewSpeed=1:10000000:1", '.', error);
  ASSERT_TRUE(largest) << error;
  EXPECT_EQ(largest->Count, MaxStudyCases);
  EXPECT_FALSE(ParseStudyAxis("ScrewSpeed=1:10000001:1", '.', error));
  EXPECT_EQ(error, "the range has more than 10000000 values");
}

// A range whose step vanishes in the rounding of its values would run the
// same inputs twice; the step is refused, wherever along the range it fails.
TEST(StudyAxisRefusals, StepLostInRoundingIsRefused) {
  const std::vector<std::pair<std::string, bool>> cases = {
      {"ScrewSpeed=1e16:1.0000000000000004e16:0.5", false},
      {"ScrewSpeed=1:1.000000000000001:1e-16", false},
      {"ScrewSpeed=0:4:0.5", true},
      {"ScrewSpeed=1e16:1.0000000000000004e16:2", true},
      // Past 2^53 the doubles are 2 apart: 2^53 + 1 rounds back onto 2^53,
      // the fifth step; steps of 2 stay apart there.
      {"ScrewSpeed=9007199254740988:9007199254740996:1", false},
      {"ScrewSpeed=9007199254740988:9007199254740996:2", true},
  };
  for (const auto& [argument, accepted] : cases) {
    std::string error;
    EXPECT_EQ(ParseStudyAxis(argument, '.', error).has_value(), accepted) << argument;
    if (!accepted) {
      EXPECT_EQ(error, "STEP is too small: consecutive values of the range are the same number");
    }
  }
}

// What the study window shows before a study runs.
TEST(StudyAxisPreview, ListsTheValuesAsTheRunsReadThem) {
  const struct {
    const char* Argument;
    char Separator;
    const char* Preview;
  } cases[] = {
      {"OutputRate=200;300", '.', "2 cases: 200; 300"},
      {"OutputRate=200,300", ',', "1 case: 200,300"},
      {"OutputRate=100:1000:10", ',', "91 cases: 100; 110; 120; 130; 140; ...; 1000"},
      {"OutputRate=1:6:1", '.', "6 cases: 1; 2; 3; 4; 5; 6"},
      {"DieMode=Capillary;slit", '.', "2 cases: Capillary; Slit"},
  };
  for (const auto& c : cases) {
    std::string error;
    const std::optional<StudyAxis> axis = ParseStudyAxis(c.Argument, c.Separator, error);
    ASSERT_TRUE(axis) << error;
    EXPECT_EQ(StudyAxisPreview(*axis), c.Preview) << c.Argument;
  }
}

}  // namespace

namespace {

// A case runs its Material axis's record, the base's material without one
// (and while the axis is not resolved yet), and never the project's document.
TEST(StudyCaseSetup, TakesTheCasesValuesAndMaterial) {
  const MaterialLibrary library = LoadMaterialLibrary();
  RunSetup base = InitialRunSetup();
  base.Material = *FindMaterial(library, "PP");
  base.ReadDocument = "{\"format\": \"chung-project\"}";
  std::string error;
  StudyPlan plan;
  plan.Axes.push_back(*ParseStudyAxis("Material=LDPE;HDPE", '.', error));
  plan.Axes.push_back(*ParseStudyAxis("BarrelB0=200,250", '.', error));
  EXPECT_EQ(StudyCaseSetup(plan, 4, base).Material->Key, "PP");
  ASSERT_EQ(ResolveMaterialAxes(plan, library), "");
  const RunSetup fourth = StudyCaseSetup(plan, 4, base);
  ASSERT_TRUE(fourth.Material);
  EXPECT_EQ(fourth.Material->Key, "HDPE");
  EXPECT_EQ(fourth.Texts[*FindInputByName("BarrelB0")], "250");
  EXPECT_EQ(fourth.Texts[14], MaterialInputTexts(*fourth.Material, base.UnitIndex)[0]);
  EXPECT_TRUE(fourth.ReadDocument.empty());
  plan.Axes.erase(plan.Axes.begin());
  EXPECT_EQ(StudyCaseSetup(plan, 2, base).Material->Key, "PP");
}

}  // namespace
