// What the stage refuses, and how a fault ends it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>

#include "melt/melt_warnings.h"
#include "die_inputs_by_mode.h"

#include "melt_test_channel.h"

namespace {

struct Refusal {
  const char* Name;
  std::vector<std::pair<int, const char*>> Texts;  // (melt input, text)
  const char* Message;                             // empty: accepted
};

class MeltInputRefusals : public testing::TestWithParam<Refusal> {};

TEST_P(MeltInputRefusals, FirstFailingInputInOrder) {
  MeltTexts texts = InitialMeltTexts();
  for (const auto& [index, text] : GetParam().Texts) texts[index] = text;
  MeltInputs inputs;
  const std::optional<std::string> message = ConvertMeltInputs(texts, '.', inputs);
  EXPECT_EQ(message.value_or(""), GetParam().Message);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, MeltInputRefusals,
    testing::Values(
        Refusal{"UnknownMode", {{DieModeInput, "capillary"}}, "Value of Die Mode is not correct!"},
        Refusal{"NegativeHead", {{DieModeInput, "HeadPressure"}, {DieHeadPressureInput, "-1"}},
                "Value of Die Head Pressure is not correct!"},
        Refusal{"ZeroHead", {{DieModeInput, "HeadPressure"}, {DieHeadPressureInput, "0"}}, ""},
        Refusal{"ZeroDiameter", {{DieModeInput, "Capillary"}, {DieDiameterInput, "0"}},
                "Value of Die Diameter is not correct!"},
        Refusal{"EmptyLength", {{DieModeInput, "Capillary"}, {DieLengthInput, ""}},
                "Value of Die Length is not correct!"},
        Refusal{"DiameterBeforeLength", {{DieModeInput, "Capillary"}, {DieDiameterInput, "x"}, {DieLengthInput, "0"}},
                "Value of Die Diameter is not correct!"},
        Refusal{"SlitWidth", {{DieModeInput, "Slit"}, {DieSlitWidthInput, "-2"}},
                "Value of Die Slit Width is not correct!"},
        Refusal{"GapWiderThanSlit", {{DieModeInput, "Slit"}, {DieSlitGapInput, "10.5"}},
                "Value of Die Slit Gap is not correct!"},
        Refusal{"GapAsWideAsSlit", {{DieModeInput, "Slit"}, {DieSlitGapInput, "10"}}, ""},
        Refusal{"OverflowConstant", {{DieModeInput, "Constant"}, {DieConstantInput, "1e999"}},
                "Value of Die Constant is not correct!"},
        Refusal{"StartPressure", {{MeltStartPressureInput, "-0.1"}},
                "Value of Melt Start Pressure is not correct!"},
        // Inputs the mode does not read must be numbers, but their values are not judged.
        Refusal{"UnreadValues", {{DieSlitGapInput, "-1"}, {DieConstantInput, "0"}}, ""},
        Refusal{"UnreadText", {{DieDiameterInput, "x"}}, "Value of Die Diameter is not correct!"},
        Refusal{"UnreadOverflow", {{DieHeadPressureInput, "1e400"}}, "Value of Die Head Pressure is not correct!"},
        Refusal{"UnreadEmpty", {{DieConstantInput, ""}}, "Value of Die Constant is not correct!"}),
    [](const testing::TestParamInfo<Refusal>& info) { return info.param.Name; });

// A mode takes the value of each input it reads and refuses a value out of
// range there; an input it does not read keeps what the record held, and its
// value is not judged.
TEST(MeltInputs, EachModeReadsItsInputsAndNoOthers) {
  constexpr double Unread = -7;
  const std::array<const char*, MeltInputCount> texts = {"", "1.5", "0.25", "3", "4", "0.3", "0.002", "0.7", "0.5"};
  const std::array<double, MeltInputCount> values = {0, 1.5, 0.25, 3, 4, 0.3, 0.002, 0.7, 0.5};
  const std::array<double MeltInputs::*, MeltInputCount> members = {
      nullptr, &MeltInputs::DieHeadPressure, &MeltInputs::DieDiameter, &MeltInputs::DieLength,
      &MeltInputs::DieSlitWidth, &MeltInputs::DieSlitGap, &MeltInputs::DieConstant, &MeltInputs::MeltStartPressure,
      &MeltInputs::BarrelHeatTransferFactor};
  const std::array<const char*, MeltInputCount> refusals = {
      "", "Value of Die Head Pressure is not correct!", "Value of Die Diameter is not correct!",
      "Value of Die Length is not correct!", "Value of Die Slit Width is not correct!",
      "Value of Die Slit Gap is not correct!", "Value of Die Constant is not correct!",
      "Value of Melt Start Pressure is not correct!", "Value of Barrel Heat Transfer Factor is not correct!"};
  for (const DieModeInputs& mode : DieInputsByMode) {
    SCOPED_TRACE(DieModeName(mode.Mode));
    MeltTexts given;
    given[DieModeInput] = DieModeName(mode.Mode);
    for (int k = 1; k < MeltInputCount; ++k) given[k] = texts[k];
    MeltInputs inputs;
    for (int k = 1; k < MeltInputCount; ++k) inputs.*members[k] = Unread;
    ASSERT_FALSE(ConvertMeltInputs(given, '.', inputs));
    EXPECT_EQ(inputs.DieMode, mode.Mode);
    for (int k = 1; k < MeltInputCount; ++k) {
      EXPECT_EQ(inputs.*members[k], mode.Reads[k] ? values[k] : Unread) << MeltInputNames[k].Name;
      MeltTexts bad = given;
      MeltInputs ignored;
      const bool zeroAllowed = k == DieHeadPressureInput || k == MeltStartPressureInput || k == BarrelHeatTransferFactorInput;
      bad[k] = zeroAllowed ? "-1" : "0";
      EXPECT_EQ(ConvertMeltInputs(bad, '.', ignored).value_or(""), mode.Reads[k] ? refusals[k] : "")
          << MeltInputNames[k].Name;
    }
  }
}

TEST(MeltInputs, ConvertWithTheRunsSeparator) {
  MeltTexts texts = InitialMeltTexts(',');
  EXPECT_EQ(texts[DieDiameterInput], "0,5");
  texts[DieModeInput] = "Capillary";
  texts[DieLengthInput] = "2,5";
  MeltInputs inputs;
  EXPECT_FALSE(ConvertMeltInputs(texts, ',', inputs));
  EXPECT_EQ(inputs.DieMode, DieMode::Capillary);
  EXPECT_EQ(inputs.DieLength, 2.5);
}

TEST(MeltStageChecks, ValuesTheMeltingRunTookButTheStageCannotUse) {
  struct Case {
    void (*Change)(ModelState&);
    const char* Message;
  };
  const Case cases[] = {
      {[](ModelState& s) { s.Inputs.ViscM0 = 0; s.Inputs.ViscN = -1; },
       "Value of Viscosity Equation Para. (m0) is not correct!"},
      {[](ModelState& s) { s.Inputs.ViscN = 0; }, "Value of Viscosity Equation Para. (n) is not correct!"},
      {[](ModelState& s) { s.Operating.ChannelWidth = -0.5; }, "Value of Flight Width is not correct!"},
  };
  for (const Case& c : cases) {
    DefaultStageRun run = RunDefaultStage({});
    c.Change(*run.State);
    const RunOutcome outcome = RunMeltStage(*run.State, MeltInputs{}, run.Stage);
    EXPECT_EQ(outcome.Result, RunResult::Rejected);
    EXPECT_EQ(outcome.Message, c.Message);
  }
}

TEST(MeltStageChecks, StageRefusalLeavesTheMeltingRun) {
  const DefaultStageRun run = RunDefaultStage({{InputCount + DieModeInput, "Pipe"}});
  EXPECT_EQ(run.Outcomes.Run.Result, RunResult::Completed);
  EXPECT_EQ(run.Outcomes.Melt->Message, "Value of Die Mode is not correct!");
  EXPECT_TRUE(run.Stage.Points.empty());
  const DefaultStageRun refused = RunDefaultStage({{10, "x"}});
  EXPECT_EQ(refused.Outcomes.Run.Result, RunResult::Rejected);
  EXPECT_FALSE(refused.Outcomes.Melt);
}

// Any non-finite value ends the stage at once, in every build type; the
// next stage run starts clean.
TEST(MeltStageChecks, NonFiniteValueFailsTheStage) {
  const double huge = std::numeric_limits<double>::max();
  struct Case {
    const char* Name;
    void (*Change)(ModelState&, double);
  };
  const Case cases[] = {
      {"zero depth", [](ModelState& s, double) { s.Grid.Depth[230] = 0; }},
      {"overflowing temperature law", [](ModelState& s, double v) { s.Inputs.ViscB = v; }},
      {"no heat capacity", [](ModelState& s, double) { s.Inputs.MeltSpecificHeat = 0; }},
      {"infinite start", [](ModelState& s, double v) { s.Profile.MeltingPower = v * 10; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    DefaultStageRun run = RunDefaultStage({});
    c.Change(*run.State, huge);
    const RunOutcome outcome = RunMeltStage(*run.State, MeltInputs{}, run.Stage);
    EXPECT_EQ(outcome.Result, RunResult::Failed);
    // The fixed message, then the quantity, as a melting run's fault names it.
    EXPECT_TRUE(outcome.Message.starts_with("Melt-conveying stage: floating point fault while computing "))
        << outcome.Message;
    EXPECT_GT(outcome.Message.size(), std::string("Melt-conveying stage: floating point fault while computing ").size());
    EXPECT_TRUE(run.Stage.Points.empty());
    EXPECT_TRUE(run.Stage.Warnings.empty());
  }
  DefaultStageRun clean = RunDefaultStage({});
  EXPECT_EQ(RunMeltStage(*clean.State, MeltInputs{}, clean.Stage).Result, RunResult::Completed);
}

}  // namespace

namespace {

// The warnings the default file does not raise, on a channel built by hand
// (drag flow about 0.047 cm3/s; points at turns 0 to 10).
TEST(MeltWarnings, RaisedWhereTheirConditionHolds) {
  struct Case {
    const char* Name;
    bool SolidToTip;
    double Flow;
    void (*Change)(ModelState&);
    const char* Codes;
    MeltWarningCode Checked;  // whose first two figures follow
    double First, Second;
  };
  const Case cases[] = {
      {"solid at the tip", true, 0.04, [](ModelState& s) { s.Profile.SolidFraction[10] = 0.25; }, "SolidAtTip",
       MeltWarningCode::SolidAtTip, 0.25, 0.25},
      {"bed as wide as the channel", true, 0.04,
       [](ModelState& s) { s.Profile.BedWidth[3] = s.Profile.BedWidth[4] = 1; }, "SolidAtTip BedFillsChannel",
       MeltWarningCode::BedFillsChannel, 3, 4},
      {"barrel below the melting point", false, 0.04,
       [](ModelState& s) { s.Grid.BarrelTemp[5] = s.Grid.BarrelTemp[7] = 150; }, "BarrelBelowMeltingPoint",
       MeltWarningCode::BarrelBelowMeltingPoint, 5, 7},
      {"flow above drag flow", true, 0.06, [](ModelState&) {},
       "NegativePressure/Adiabatic NegativePressure/Barrel FlowAboveDragFlow SolidAtTip NegativePressure/BestEstimate",
       MeltWarningCode::FlowAboveDragFlow, 0, 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TestChannel channel;
    channel.Flow = c.Flow;
    channel.SolidToTip = c.SolidToTip;
    const auto state = ChannelState(channel);
    c.Change(*state);
    MeltStage stage;
    ASSERT_EQ(RunMeltStage(*state, MeltInputs{}, stage).Result, RunResult::Completed);
    std::string codes;
    for (const MeltWarning& w : stage.Warnings) {
      codes += std::string(codes.empty() ? "" : " ") + MeltWarningCodeName(w.Code);
      if (w.Bound) codes += std::string("/") + MeltBoundName(*w.Bound);
      if (w.Code != c.Checked) continue;
      EXPECT_EQ(w.Figures.front().Value, c.First);
      EXPECT_EQ(w.Figures[std::min<size_t>(1, w.Figures.size() - 1)].Value, c.Second);
    }
    EXPECT_EQ(codes, c.Codes);
  }
}

// A margin reaches the die exactly when its figure, three decimals, shows no
// minus sign other than on -0.000.
TEST(MeltWarnings, MarginReachesTheDieAsItIsShown) {
  for (double margin : {1.0, 0.0, -3.5e-11, -1.357e-5, std::nextafter(-0.0005, 0.0), -0.0005, -0.0006, -4.394}) {
    char shown[64];
    std::snprintf(shown, sizeof shown, "%.*f", MarginDecimals, margin);
    const bool readsNonNegative = shown[0] != '-' || std::string(shown) == "-0.000";
    EXPECT_EQ(MarginReachesDie(margin), readsNonNegative) << shown;
  }
}

// Die inputs no die is made with, on the default run (screw 15 cm): warned
// beside the figures; a value that overflows names the die's inputs.
TEST(MeltWarnings, DieInputsOutsideWhatDiesAreMadeWith) {
  constexpr int Mode = InputCount + DieModeInput;
  constexpr int Diameter = InputCount + DieDiameterInput;
  constexpr int Gap = InputCount + DieSlitGapInput;
  const struct {
    const char* Name;
    std::vector<std::pair<int, std::string>> Settings;
    const char* Warned;  // the die's own warnings, in order
  } cases[] = {
      {"a usual capillary", {{Mode, "Capillary"}}, ""},
      {"a usual slit", {{Mode, "Slit"}}, ""},
      {"a 0.01 cm capillary", {{Mode, "Capillary"}, {Diameter, "0.01"}}, "DiePressureHigh DiePressureHigh DiePressureHigh"},
      {"a 1000 cm capillary", {{Mode, "Capillary"}, {Diameter, "1000"}}, "DieImplausible"},
      {"a slit gap wider than the screw", {{Mode, "Slit"}, {InputCount + DieSlitWidthInput, "40"}, {Gap, "20"}},
       "DieImplausible"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const DefaultStageRun run = RunDefaultStage(c.Settings);
    ASSERT_EQ(run.Outcomes.Melt->Result, RunResult::Completed) << run.Outcomes.Melt->Message;
    std::string warned;
    for (const MeltWarning& w : run.Stage.Warnings) {
      if (w.Code != MeltWarningCode::DiePressureHigh && w.Code != MeltWarningCode::DieImplausible) continue;
      warned += std::string(warned.empty() ? "" : " ") + MeltWarningCodeName(w.Code);
      EXPECT_NE(w.Text.find("check"), std::string::npos) << w.Text;
    }
    EXPECT_EQ(warned, c.Warned);
  }
  const DefaultStageRun overflow = RunDefaultStage({{Mode, "Capillary"}, {Diameter, "1e308"}});
  EXPECT_EQ(overflow.Outcomes.Melt->Result, RunResult::Failed);
  EXPECT_EQ(OutcomeMessage(*overflow.Outcomes.Melt),
            "Melt-conveying stage: floating point fault while computing DieConductance. Check the die's inputs: "
            "Die Diameter 1e+308 cm, Die Length "
            "2 cm, Melt Start Pressure 0 MPa");
}

}  // namespace
