#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "default_inputs.h"
#include "model/calculation.h"
#include "model/float_faults.h"
#include "model/melting_profile.h"

namespace {

std::string SixDigits(double value) { return Significant(value, 6); }

// The hand-made state of the worked step: one step from point 0 to point 1.
ModelState WorkedStepState() {
  ModelState state;
  ModelInputs& in = state.Inputs;
  in.MeltingPoint = 265;
  in.MeltConductivity = 0.00052;
  in.MeltDensity = 1.2;
  in.MeltSpecificHeat = 0.48;
  in.SolidDensity = 1.34;
  in.ViscM0 = 2.052;
  in.ViscB = 0.036;
  in.ViscN = 0.835;
  in.ViscT0 = 290;
  in.ScrewDiameter = 15;
  in.StartWidthRatio = 0.96;
  in.SolidSpecificHeat = 0.4;
  in.HeatOfFusion = 17.7;
  state.ViscousHeatFactor = 2.343e-05;
  state.PowerFactor = 9.8e-05;
  OperatingPoint& op = state.Operating;
  op.MeltingHeat = 75;
  op.BedVelocity = 10;
  op.ConveyingAngle = 0.3;
  op.HelixAngle = std::asin(0.6L) - 0.3L;  // so that sin(ConveyingAngle + HelixAngle) is 0.6
  op.RevsPerSecond = 0.5;
  op.ChannelWidth = 12.5;
  op.SolidVolumeRate = 62.5;
  op.MassRate = 83.75;
  op.MeltStartBedTemp = 141.7;
  AxialGrid& grid = state.Grid;
  grid.FeedPoints = 1;
  grid.BarrelTemp[0] = 290;
  grid.BarrelTemp[1] = 292;
  grid.ChannelLength[0] = 0;
  grid.ChannelLength[1] = 5;
  grid.Depth[1] = 1.4;
  ClearFloatFaults();
  return state;
}

TEST(MeltingProfile, WorkedStep) {
  ModelState state = WorkedStepState();
  ComputeMeltingProfile(state);
  const MeltingProfile& mp = state.Profile;
  const MeltingWorkingValues& w = state.Working;
  EXPECT_EQ(SixDigits(w.ChannelSpan), "20.8333");
  EXPECT_EQ(SixDigits(mp.BedSpan[0]), "20");
  EXPECT_EQ(SixDigits(mp.BedWidth[0]), "12");
  EXPECT_EQ(SixDigits(mp.SolidFlow[0]), "60");
  EXPECT_EQ(SixDigits(state.Operating.BarrelSpeed), "23.5619");
  EXPECT_EQ(SixDigits(mp.FilmThickness[0]), "0.0169967");
  EXPECT_EQ(SixDigits(w.ViscTempGroup), "1.07784");
  EXPECT_EQ(SixDigits(w.ViscTempFactor), "2.42794");
  EXPECT_EQ(SixDigits(w.FilmViscosity), "0.716453");
  EXPECT_EQ(SixDigits(w.ConvectionGroup), "0.16");
  EXPECT_EQ(SixDigits(w.ViscousHeatingGroup), "0.129127");
  EXPECT_EQ(SixDigits(w.MeltingRootFactor), "2.19862");
  EXPECT_EQ(SixDigits(w.MeltingRateRatio), "0.000769568");
  EXPECT_EQ(SixDigits(w.MeltingRate), "0.00923482");
  EXPECT_EQ(SixDigits(w.MeltedVolume), "0.413499");
  EXPECT_EQ(SixDigits(mp.SolidFlow[1]), "59.5865");
  EXPECT_EQ(SixDigits(w.BarrelConsistency), "1.90945");
  EXPECT_EQ(SixDigits(w.ShearTerm), "275.233");
  EXPECT_EQ(SixDigits(w.StepShearForce), "2.95217");
  EXPECT_EQ(SixDigits(w.StepPower), "0.0695589");
  EXPECT_EQ(mp.MeltingPower, w.StepPower);
  EXPECT_EQ(SixDigits(mp.BedWidth[1]), "4.04506");
  EXPECT_EQ(SixDigits(mp.WidthRatio[1]), "0.323605");
  EXPECT_EQ(SixDigits(mp.SolidFraction[1]), "0.953384");
  EXPECT_EQ(SixDigits(mp.BedSpan[1]), "6.74177");
  EXPECT_EQ(mp.RowCount, 2);
}

TEST(MeltingProfile, DefaultRun) {
  ModelState state = DefaultState();
  RunCalculation(state);
  const MeltingProfile& mp = state.Profile;
  EXPECT_EQ(SixDigits(state.Working.ChannelSpan), "37.2904");
  EXPECT_EQ(SixDigits(state.Operating.BarrelSpeed), "29.8451");
  EXPECT_EQ(SixDigits(mp.FilmThickness[0]), "0.015156");
  EXPECT_EQ(SixDigits(mp.SolidFlow[1]), "61.5729");
  EXPECT_EQ(SixDigits(mp.BedWidth[1]), "12.7366");
  ASSERT_EQ(mp.RowCount, 197);
  EXPECT_NEAR(mp.SolidFraction[196], 0.02001, 5e-6);
  EXPECT_NEAR(mp.SolidFlow[197] / state.Operating.SolidVolumeRate, 0.01754, 5e-6);
  EXPECT_NEAR(state.Grid.Flight[196], 18.60, 1e-9);
  EXPECT_EQ(SixDigits(mp.MeltingPower), "22.4889");
  EXPECT_EQ(SixDigits(mp.NetMeltingEnergy), "23.3791");
}

TEST(MeltingProfile, AStepBelowTheThresholdAtOnceStopsTheWalk) {
  ModelState state = WorkedStepState();
  state.Profile.BedWidth[1] = -7;  // sentinels: the stopping step must not write them
  state.Profile.WidthRatio[1] = -7;
  state.Profile.SolidFraction[1] = -7;
  state.Profile.BedSpan[1] = -7;
  state.Operating.SolidVolumeRate = 62.5;
  state.Inputs.StartWidthRatio = 0.0075;  // SolidFlow[0] 0.46875, below 2 % after the step
  state.Grid.MeteringPoints = 5;           // more points that the walk must not reach
  ComputeMeltingProfile(state);
  const MeltingProfile& mp = state.Profile;
  EXPECT_EQ(mp.RowCount, 1);
  EXPECT_GT(mp.FilmThickness[0], 0);
  EXPECT_LT(mp.SolidFlow[1] / 62.5, 0.02);
  EXPECT_EQ(mp.BedWidth[1], -7);
  EXPECT_EQ(mp.WidthRatio[1], -7);
  EXPECT_EQ(mp.SolidFraction[1], -7);
  EXPECT_EQ(mp.BedSpan[1], -7);
  EXPECT_EQ(mp.MeltingPower, state.Working.StepPower);
}

TEST(MeltingProfile, WalkToTheEndGivesTheLastRowItsOwnFilm) {
  ModelState state = WorkedStepState();
  state.Profile.FilmThickness[1] = 99;  // as an earlier run might have left it
  ComputeMeltingProfile(state);
  const MeltingProfile& mp = state.Profile;
  EXPECT_EQ(mp.RowCount, 2);
  const long double expected = std::sqrt((292.0L - 265) * 0.00052 * mp.BedSpan[1] / ((long double)1.2 * 75 * 10));
  EXPECT_EQ(mp.FilmThickness[1], static_cast<double>(expected));

  state.Grid.BarrelTemp[1] = 265;  // barrel no hotter than the melting point there
  state.Profile.FilmThickness[1] = 99;
  ComputeMeltingProfile(state);
  EXPECT_EQ(state.Profile.FilmThickness[1], 0.0);
}

TEST(MeltingProfile, NoStepWhenTheGridHasOnePoint) {
  ModelState state = WorkedStepState();
  state.Grid.FeedPoints = 0;
  state.Profile.MeltingPower = 5;
  ComputeMeltingProfile(state);
  EXPECT_EQ(state.Profile.RowCount, 1);
  EXPECT_EQ(state.Profile.MeltingPower, 0.0);
  EXPECT_EQ(state.Profile.BedWidth[0], 12.0);
  EXPECT_GT(state.Profile.FilmThickness[0], 0.0);
  EXPECT_EQ(SixDigits(state.Profile.NetMeltingEnergy),
            SixDigits(((265 - 141.7) * 0.4 + 17.7) * 0.00418605 * 83.75));
}

struct FaultCase {
  const char* name;
  void (*change)(ModelState&);
  const char* message;
};

class MeltingFault : public ::testing::TestWithParam<FaultCase> {};

TEST_P(MeltingFault, EndsTheWalkWithoutTouchingRowCount) {
  ModelState state = WorkedStepState();
  state.Profile.RowCount = 42;
  state.Profile.FilmThickness[0] = -1;
  GetParam().change(state);
  ClearFloatFaults();
  try {
    ComputeMeltingProfile(state);
    FAIL() << "no fault raised";
  } catch (const FloatFault& fault) {
    EXPECT_STREQ(fault.what(), GetParam().message);
  }
  EXPECT_EQ(state.Profile.RowCount, 42);
}

INSTANTIATE_TEST_SUITE_P(
    Conditions, MeltingFault,
    ::testing::Values(
        FaultCase{"BarrelBelowMeltingPoint", [](ModelState& s) { s.Grid.BarrelTemp[0] = 260; },
                  "Floating point invalid operation while computing FilmThickness"},
        FaultCase{"BarrelAtMeltingPoint", [](ModelState& s) { s.Grid.BarrelTemp[0] = 265; },
                  "Floating point invalid operation while computing ViscTempFactor"},
        FaultCase{"DepthEqualToDiameter", [](ModelState& s) { s.Grid.Depth[1] = 15; },
                  "Floating point division by zero while computing BedWidth"},
        FaultCase{"PowerLawIndexZero", [](ModelState& s) { s.Inputs.ViscN = 0; },
                  "Floating point division by zero while computing ViscTempGroup"},
        FaultCase{"PowerLawIndexTwo", [](ModelState& s) { s.Inputs.ViscN = 2; },
                  "Floating point division by zero while computing ShearTerm"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MeltingFault, BarrelBelowMeltingPointStoresNoFilm) {
  ModelState state = WorkedStepState();
  state.Grid.BarrelTemp[0] = 260;
  state.Profile.FilmThickness[0] = -1;
  ClearFloatFaults();
  EXPECT_THROW(ComputeMeltingProfile(state), FloatFault);
  EXPECT_EQ(state.Profile.FilmThickness[0], -1);
  EXPECT_EQ(state.Profile.BedWidth[0], 12.0);  // the set-up ran before the fault
}

TEST(Power, Rules) {
  EXPECT_EQ(Power(0, 0), 1.0);
  EXPECT_EQ(Power(0, 2.5), 0.0);
  EXPECT_EQ(Power(-2, 3), -8.0);
  EXPECT_EQ(Power(2, -2), 0.25);
  EXPECT_EQ(Power(3, 10), 59049.0);
  EXPECT_DOUBLE_EQ(Power(2, 0.5), std::sqrt(2.0));
  ClearFloatFaults();
  EXPECT_THROW(Power(-2, 0.5), FloatFault);
  ClearFloatFaults();
  EXPECT_THROW(Power(10, 400), FloatFault);
  ClearFloatFaults();
  EXPECT_THROW(Power(0, -1), FloatFault);
}

TEST(MeltViscosity, ReferencePointGivesTheConsistency) {
  double viscosity = 0;
  MeltViscosity(2.052, 0.036, 0.835, 290, 290, 1, viscosity);
  EXPECT_EQ(viscosity, 2.052);
  MeltViscosity(2.052, 0.036, 1.0, 290, 300, 1234.5, viscosity);
  EXPECT_DOUBLE_EQ(viscosity, 2.052 * std::exp(-0.036 * 10));
}

}  // namespace
