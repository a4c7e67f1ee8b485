#include <gtest/gtest.h>

#include <cmath>

#include "default_inputs.h"
#include "model/float_faults.h"
#include "model/operating_point.h"

namespace {

ModelState SolvedDefault(int* steps = nullptr) {
  ModelState state = DefaultState();
  const ModelInputs& in = state.Inputs;
  ComputeOperatingPoint(state);
  state.Operating.MeltStartBedTemp = MeltStartBedTemperature(in.SolidInletTemp, in.MeltingPoint, in.InletCompaction,
                                                             in.SolidSpecificHeat, in.HeatOfFusion);
  ComputeMeltingHeat(state);
  const int taken = SolveConveyingAngle(state, state.Operating.ConveyingAngle);
  if (steps) *steps = taken;
  ComputeBedVelocity(state);
  return state;
}

TEST(OperatingPoint, DefaultInputsGiveTheStatedFigures) {
  int steps = 0;
  const ModelState state = SolvedDefault(&steps);
  const OperatingPoint& op = state.Operating;
  EXPECT_EQ(Significant(op.MassRate, 5), "83.333");
  EXPECT_EQ(Significant(op.SolidVolumeRate, 5), "62.189");
  EXPECT_EQ(Significant(op.RevsPerSecond, 5), "0.63333");
  EXPECT_EQ(Significant(op.HelixAngle, 5), "0.30817");
  EXPECT_EQ(Significant(op.HelixAngle * 180 / 3.14159265358979323846, 5), "17.657");
  EXPECT_EQ(Significant(op.ChannelWidth, 5), "12.864");
  EXPECT_EQ(Significant(op.MeltStartBedTemp, 12), "141.7");
  EXPECT_EQ(Significant(op.MeltingHeat, 12), "67.02");
  EXPECT_EQ(steps, 4);
  EXPECT_EQ(Significant(op.ConveyingAngle, 5), "0.044036");
  EXPECT_EQ(Significant(op.ConveyingAngle * 180 / 3.14159265358979323846, 5), "2.5231");
  EXPECT_EQ(Significant(op.BedVelocity, 5), "26.241");
}

TEST(OperatingPoint, MassRateAndVolumeRateBothDivideTheUnroundedQuotient) {
  ModelState state = DefaultState();
  state.Inputs.OutputRate = 1.0;
  state.Inputs.SolidDensity = 3.0;
  ComputeOperatingPoint(state);
  EXPECT_EQ(state.Operating.MassRate, static_cast<double>(1.0L / 3.6L));
  EXPECT_EQ(state.Operating.SolidVolumeRate, static_cast<double>((1.0L / 3.6L) / 3.0L));
}

TEST(MeltStartBed, CompactionOneKeepsTheInletTemperature) {
  EXPECT_EQ(MeltStartBedTemperature(30.0, 265.0, 1.0, 0.4, 17.7), 30.0);
}

TEST(MeltStartBed, NoHeatOfFusionMixesInletAndMeltingPoint) {
  EXPECT_DOUBLE_EQ(MeltStartBedTemperature(30.0, 265.0, 0.6, 0.4, 0.0), 0.6 * 30.0 + 0.4 * 265.0);
}

TEST(MeltStartBed, MeltingHeatFollowsFromTheBedTemperature) {
  ModelState state = DefaultState();
  state.Inputs.InletCompaction = 1.0;
  state.Operating.MeltStartBedTemp = MeltStartBedTemperature(30.0, 265.0, 1.0, 0.4, 17.7);
  ComputeMeltingHeat(state);
  EXPECT_DOUBLE_EQ(state.Operating.MeltingHeat, (265.0 - 30.0) * 0.4 + 17.7);
}

TEST(ConveyingBalance, VanishesAtTheSolvedAngle) {
  const ModelState state = SolvedDefault();
  const OperatingPoint& op = state.Operating;
  const double atRoot = ConveyingBalance(op.ConveyingAngle, op.SolidVolumeRate, op.RevsPerSecond, op.ChannelWidth,
                                         state.Inputs.FeedDepth, state.Inputs.ScrewDiameter, op.HelixAngle);
  const double perRevolution = op.SolidVolumeRate / op.RevsPerSecond;
  EXPECT_LT(std::fabs(atRoot), 1e-3 * perRevolution);
}

TEST(ConveyingAngle, ZeroChannelWidthIsADivisionByZero) {
  ModelState state = DefaultState();
  state.Inputs.FlightWidth = state.Inputs.ScrewPitch;
  ClearFloatFaults();
  ComputeOperatingPoint(state);
  EXPECT_EQ(state.Operating.ChannelWidth, 0.0);
  double angle = 123.0;
  try {
    SolveConveyingAngle(state, angle);
    FAIL() << "no fault raised";
  } catch (const FloatFault& fault) {
    EXPECT_STREQ(fault.what(), "Floating point division by zero while computing ConveyingAngle");
  }
  EXPECT_EQ(angle, 123.0);
}

}  // namespace
