// The stage on the default data file: the figures stated for it, with and
// without a die, and its operating points.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "melt/melt_operating_point.h"
#include "melt_test_channel.h"

namespace {

constexpr int Output = 10;
constexpr int Speed = 9;
constexpr int Mode = InputCount + DieModeInput;
constexpr int HeadPressure = InputCount + DieHeadPressureInput;
constexpr int Constant = InputCount + DieConstantInput;
constexpr int StartPressure = InputCount + MeltStartPressureInput;
constexpr int A = static_cast<int>(MeltBound::Adiabatic);
constexpr int B = static_cast<int>(MeltBound::Barrel);

std::string Codes(const std::vector<MeltWarning>& warnings) {
  std::string codes;
  for (const MeltWarning& w : warnings) {
    codes += std::string(codes.empty() ? "" : " ") + MeltWarningCodeName(w.Code);
    if (w.Bound) codes += std::string("/") + MeltBoundName(*w.Bound);
  }
  return codes;
}

std::string Codes(const std::vector<MeltWarningCode>& warnings) {
  std::string codes;
  for (MeltWarningCode code : warnings) codes += std::string(codes.empty() ? "" : " ") + MeltWarningCodeName(code);
  return codes;
}

TEST(MeltDefaultFile, WithoutDie) {
  const DefaultStageRun run = RunDefaultStage({});
  ASSERT_EQ(run.Outcomes.Melt->Result, RunResult::Completed);
  const MeltStage& s = run.Stage;
  EXPECT_EQ(s.Common.TipIndex, 257);
  EXPECT_EQ(s.Common.MeltEndIndex, 197);
  ExpectFigure(*s.Common.MeltEndTurn, "18.70", "MeltEndTurn");
  ExpectFigure(s.Common.DragCapacity, "310.75276", "DragCapacity");
  ExpectFigure(s.Common.MeltFlow, "69.444444", "MeltFlow");
  ExpectFigure(*s.Points[230].FlowRatio, "0.9653977", "metering FlowRatio");
  EXPECT_EQ(s.Common.NarrowPoolCount, 12);
  ExpectFigure(*s.Common.NarrowPoolFirstTurn, "5.00", "first narrow pool");
  ExpectFigure(*s.Common.NarrowPoolLastTurn, "6.10", "last narrow pool");
  EXPECT_FALSE(s.Common.DieConductance);

  struct Row {
    const char* Name;
    double MeltBoundSummary::*Member;
    const char* Stated[2];
  };
  const Row rows[] = {
      {"PeakPressure", &MeltBoundSummary::PeakPressure, {"7.815129", "3.177394"}},
      {"PeakPressureTurn", &MeltBoundSummary::PeakPressureTurn, {"14.75", "14.75"}},
      {"MinPressure", &MeltBoundSummary::MinPressure, {"-1.771037", "-0.720050"}},
      {"MinPressureTurn", &MeltBoundSummary::MinPressureTurn, {"18.60", "18.60"}},
      {"TipPressure", &MeltBoundSummary::TipPressure, {"-0.096847", "0.370160"}},
      {"TipMeltTemperature", &MeltBoundSummary::TipMeltTemperature, {"282.85860", "290"}},
      {"MeltingZoneHeat", &MeltBoundSummary::MeltingZoneHeat, {"2.230674", "0.906924"}},
      {"MeltConveyingPower", &MeltBoundSummary::MeltConveyingPower, {"3.670463", "1.926286"}},
      {"TotalScrewPower", &MeltBoundSummary::TotalScrewPower, {"26.159314", "24.415137"}},
  };
  for (const Row& row : rows) {
    for (int k : {A, B}) ExpectFigure(s.Summary[k].*row.Member, row.Stated[k], std::string(row.Name) + " " + MeltBoundName(MeltBound(k)));
  }
  ExpectFigure(*s.Summary[A].MeltStartTemperature, "273.00537", "MeltStartTemperature A");
  ExpectFigure(*s.Summary[B].MeltStartTemperature, "290", "MeltStartTemperature B");
  EXPECT_NEAR(*s.Summary[A].EnergyResidual, 1.49e-5, 0.005e-5);
  ExpectFigure(*s.Summary[B].EnergyResidual, "1.074089", "EnergyResidual B");
  // A pressure margin without a die is the tip pressure.
  EXPECT_EQ(s.Summary[A].PressureMargin, s.Summary[A].TipPressure);

  EXPECT_EQ(Codes(s.Warnings),
            "NegativePressure/Adiabatic NegativePressure/Barrel FlowAboveDragFlow BoundsFarApart");
  const MeltWarning& above = s.Warnings[2];
  ExpectFigure(above.Figures[0].Value, "14.80", "FromTurn");
  ExpectFigure(above.Figures[1].Value, "18.60", "ToTurn");
  EXPECT_EQ(above.Figures[2].Value, 51);
  EXPECT_NEAR(s.Warnings[3].Figures[2].Value, 0.90, 1e-12);  // |b| x 25 K at turn 5.00
}

TEST(MeltDefaultFile, CapillaryAndItsOperatingPoints) {
  DefaultStageRun run = RunDefaultStage({{Mode, "Capillary"}});
  ASSERT_EQ(run.Outcomes.Melt->Result, RunResult::Completed);
  const MeltStage& s = run.Stage;
  EXPECT_NEAR(*s.Common.DieConductance, 7.669904e-4, 0.5e-10);
  ExpectFigure(*s.Summary[A].DieShearRate, "5938.396", "DieShearRate");
  const char* viscosity[] = {"65.108407", "50.348226"};
  const char* die[] = {"5.895011", "4.558603"};
  const char* margin[] = {"-5.991859", "-4.188443"};
  for (int k : {A, B}) {
    ExpectFigure(*s.Summary[k].DieViscosity, viscosity[k], "DieViscosity");
    ExpectFigure(s.Summary[k].DiePressure, die[k], "DiePressure");
    ExpectFigure(s.Summary[k].PressureMargin, margin[k], "PressureMargin");
  }
  EXPECT_EQ(Codes(s.Warnings),
            "NegativePressure/Adiabatic DieNotReached/Adiabatic NegativePressure/Barrel DieNotReached/Barrel "
            "FlowAboveDragFlow BoundsFarApart DieNotReached/BestEstimate");
  // A search's trial computes one bound's margin alone, to the same bit.
  MeltInputs inputs;
  ASSERT_FALSE(ConvertMeltInputs(run.Melt, '.', inputs));
  for (int k : {A, B}) {
    double margin = 0;
    EXPECT_EQ(MeltPressureMargin(*run.State, inputs, MeltBound(k), margin).Result, RunResult::Completed);
    EXPECT_EQ(margin, s.Summary[k].PressureMargin);
  }

  const MeltOperatingPoints points = FindOperatingPoints(run.Texts, InitialUnitIndex, '.', run.Melt, s);
  const MeltOperatingPoint* found[] = {&points.Adiabatic, &points.Barrel};
  const char* output[] = {"291.513838", "287.070954"};
  const char* tip[] = {"5.615236", "4.393964"};
  const char* peak[] = {"8.507153", "4.393964"};
  const char* temperature[] = {"283.54367", "290"};
  for (int k : {A, B}) {
    const MeltOperatingPoint& p = *found[k];
    ASSERT_EQ(p.Status, OperatingPointStatus::Found);
    ExpectFigure(p.Output, output[k], "Output");
    ExpectFigure(p.TipPressure, tip[k], "TipPressure at the operating point");
    ExpectFigure(p.PeakPressure, peak[k], "PeakPressure at the operating point");
    ExpectFigure(p.TipMeltTemperature, temperature[k], "TipMeltTemperature at the operating point");
    EXPECT_EQ(p.Evaluations, 41);
    EXPECT_FALSE(p.InJump);
    EXPECT_FALSE(p.SolidAtTip);
    EXPECT_EQ(Codes(p.Warnings), "FlowAboveDragFlow BoundsFarApart");
    // The bracket holds the root and is closed to its tolerance.
    EXPECT_LT(std::fabs(p.TipPressure - p.DiePressure), 1e-6);
    EXPECT_GT(p.LowMargin, 0);
    EXPECT_LE(p.HighMargin, 0);
    EXPECT_LE(p.High - p.Low, 1e-12 * p.High);
    EXPECT_TRUE(p.Low <= p.Output && p.Output <= p.High);
    EXPECT_EQ(p.AtOutput.Summary[k].PressureMargin, p.PressureMargin);
  }
}

struct OtherCase {
  const char* Name;
  std::vector<std::pair<int, std::string>> Settings;
  int RowCount;
  const char* Tip[2];
  const char* Die[2];
  const char* TipTemperature[2];
  const char* Output[2];
  const char* Warnings;
};

class MeltOtherCases : public testing::TestWithParam<OtherCase> {};

TEST_P(MeltOtherCases, FiguresAndOperatingPoints) {
  const OtherCase& c = GetParam();
  const DefaultStageRun run = RunDefaultStage(c.Settings);
  ASSERT_EQ(run.Outcomes.Melt->Result, RunResult::Completed) << run.Outcomes.Melt->Message;
  EXPECT_EQ(run.State->Profile.RowCount, c.RowCount);
  std::string codes;
  for (const MeltWarning& w : run.Stage.Warnings) {
    const std::string code = MeltWarningCodeName(w.Code);
    if (codes.find(code) == std::string::npos) codes += (codes.empty() ? "" : " ") + code;
  }
  EXPECT_EQ(codes, c.Warnings);
  const MeltOperatingPoints points = FindOperatingPoints(run.Texts, InitialUnitIndex, '.', run.Melt, run.Stage);
  const MeltOperatingPoint* found[] = {&points.Adiabatic, &points.Barrel};
  for (int k : {A, B}) {
    const MeltBoundSummary& s = run.Stage.Summary[k];
    const std::string bound = MeltBoundName(MeltBound(k));
    ExpectFigure(s.TipPressure, c.Tip[k], "TipPressure " + bound);
    ExpectFigure(s.DiePressure, c.Die[k], "DiePressure " + bound);
    ExpectFigure(s.TipMeltTemperature, c.TipTemperature[k], "TipMeltTemperature " + bound);
    EXPECT_EQ(found[k]->Status, OperatingPointStatus::Found);
    ExpectFigure(found[k]->Output, c.Output[k], "operating point " + bound);
    EXPECT_LE(found[k]->Evaluations, 45);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Stated, MeltOtherCases,
    testing::Values(
        OtherCase{"Output250Capillary", {{Output, "250"}, {Mode, "Capillary"}}, 180,
                  {"24.681662", "13.740779"}, {"4.021356", "3.914853"}, {"289.2544", "290"},
                  {"291.513838", "287.070954"}, "BoundsFarApart"},
        OtherCase{"Speed60Capillary", {{Speed, "60"}, {Mode, "Capillary"}}, 164,
                  {"25.436487", "36.904500"}, {"0.098971", "4.558603"}, {"396.3872", "290"},
                  {"441.850058", "436.310501"}, "BoundsFarApart MeltOffBarrel"},
        OtherCase{"Slit", {{Mode, "Slit"}}, 197, {"-0.096847", "0.370160"}, {"1.840034", "1.422896"},
                  {"282.8586", "290"}, {"297.239345", "296.843020"},
                  "NegativePressure DieNotReached FlowAboveDragFlow BoundsFarApart"},
        OtherCase{"Constant", {{Mode, "Constant"}, {Constant, "0.001"}}, 197, {"-0.096847", "0.370160"},
                  {"8.871033", "6.859956"}, {"282.8586", "290"}, {"287.317615", "279.897944"},
                  "NegativePressure DieNotReached FlowAboveDragFlow BoundsFarApart"},
        OtherCase{"HeadWithStartPressure",
                  {{Mode, "HeadPressure"}, {HeadPressure, "5"}, {StartPressure, "2"}}, 197,
                  {"1.903153", "2.370160"}, {"5", "5"}, {"282.8586", "290"}, {"295.508076", "291.744848"},
                  "DieNotReached FlowAboveDragFlow BoundsFarApart"},
        // A die that takes everything is no die at all.
        OtherCase{"ConstantWithoutResistance", {{Mode, "Constant"}, {Constant, "1e9"}}, 197,
                  {"-0.096847", "0.370160"}, {"0", "0"}, {"282.8586", "290"}, {"299.958149", "301.153059"},
                  "NegativePressure DieNotReached FlowAboveDragFlow BoundsFarApart"}),
    [](const testing::TestParamInfo<OtherCase>& info) { return info.param.Name; });

}  // namespace
