#include <gtest/gtest.h>

#include <cmath>

#include "default_inputs.h"
#include "model/axial_grid.h"
#include "model/operating_point.h"

namespace {

ModelState GridFor(ModelState state) {
  ComputeOperatingPoint(state);
  BuildAxialGrid(state);
  return state;
}

double AxialDistance(const ModelState& state, int j) {
  return std::sin(static_cast<long double>(state.Operating.HelixAngle)) * state.Grid.ChannelLength[j];
}

TEST(AxialGrid, DefaultCounts) {
  const ModelState state = GridFor(DefaultState());
  EXPECT_EQ(state.Grid.FeedPoints, 50);
  EXPECT_EQ(state.Grid.CompressionPoints, 120);
  EXPECT_EQ(state.Grid.MeteringPoints, 87);
  EXPECT_EQ(LastGridPoint(state.Grid), 257);
}

struct GridPoint {
  int j;
  double flight, depth, channelLength, x;
};

class DefaultGridPoint : public ::testing::TestWithParam<GridPoint> {};

TEST_P(DefaultGridPoint, MatchesTheStatedTable) {
  static const ModelState state = GridFor(DefaultState());
  const GridPoint& p = GetParam();
  EXPECT_NEAR(state.Grid.Flight[p.j], p.flight, 1e-9);
  EXPECT_NEAR(state.Grid.Depth[p.j], p.depth, 5e-7);
  EXPECT_NEAR(state.Grid.ChannelLength[p.j], p.channelLength, 5e-5);
  EXPECT_NEAR(AxialDistance(state, p.j), p.x, 1e-9);
  EXPECT_EQ(state.Grid.BarrelTemp[p.j], 290.0);
}

INSTANTIATE_TEST_SUITE_P(SelectedPoints, DefaultGridPoint,
                         ::testing::Values(GridPoint{0, 5.00, 1.4, 0, 0}, GridPoint{1, 5.10, 1.4, 4.9454, 1.5},
                                           GridPoint{49, 9.90, 1.4, 242.3228, 73.5},
                                           GridPoint{50, 10.00, 1.4, 247.2681, 75.0},
                                           GridPoint{51, 10.05, 1.391667, 249.7408, 75.75},
                                           GridPoint{169, 15.95, 0.408333, 541.5172, 164.25},
                                           GridPoint{170, 16.00, 0.4, 543.9899, 165.0},
                                           GridPoint{257, 24.70, 0.4, 974.2364, 295.5}));

TEST(AxialGrid, FlightIsARunningSumOfRoundedSteps) {
  const ModelState state = GridFor(DefaultState());
  double flight = state.Inputs.DelayTurns;
  for (int j = 0; j < 257; ++j) {
    ASSERT_EQ(state.Grid.Flight[j], flight) << "point " << j;
    const long double step = j < 50 ? 0.1L : j < 170 ? 0.05L : 0.1L;
    flight = static_cast<double>(flight + step);
  }
}

TEST(BarrelLaw, StatedExample) {
  ModelState defaults = DefaultState();
  defaults.Inputs.BarrelB1 = 0.3;
  defaults.Inputs.BarrelB2 = -0.01;
  const ModelState state = GridFor(defaults);
  EXPECT_NEAR(state.Grid.BarrelTemp[0], 203.0, 1e-12);
  EXPECT_NEAR(state.Grid.BarrelTemp[50], 248.90, 5e-3);
  EXPECT_NEAR(state.Grid.BarrelTemp[257], 285.47, 5e-3);
  EXPECT_EQ(BarrelTemperatureAt(290.0, 0.3, -0.01, 0.0), 203.0);
}

TEST(GridCounts, ExtendedPrecisionDecidesTheTruncation) {
  ModelInputs in = DefaultState().Inputs;
  in.MeteringTurns = 1.6999;
  EXPECT_EQ(ComputeGridCounts(in).Metering, 16);
  // The same formula in double lands on 17: the reason the counts are extended.
  EXPECT_EQ(std::trunc((1.6999 + 0.0001) / 0.1), 17);
}

TEST(AxialGrid, FeedEqualToDelayStartsWithTheCompressionZone) {
  ModelState defaults = DefaultState();
  defaults.Inputs.DelayTurns = defaults.Inputs.FeedTurns;
  const ModelState state = GridFor(defaults);
  EXPECT_EQ(state.Grid.FeedPoints, 0);
  EXPECT_EQ(state.Grid.Flight[0], 10.0);
  EXPECT_EQ(state.Grid.Depth[0], 1.4);
  EXPECT_EQ(state.Grid.ChannelLength[0], 0.0);
}

TEST(AxialGrid, DelayJustBeyondTheFeedZoneLiesAtANegativeDistance) {
  ModelState defaults = DefaultState();
  defaults.Inputs.DelayTurns = 10.05;
  defaults.Inputs.BarrelB1 = 0.3;
  defaults.Inputs.BarrelB2 = -0.01;
  const ModelState state = GridFor(defaults);
  EXPECT_EQ(state.Grid.FeedPoints, 0);
  EXPECT_LT(state.Grid.ChannelLength[0], 0.0);
  EXPECT_LT(state.Grid.BarrelTemp[0], 203.0);
}

TEST(AxialGrid, ZoneBoundariesAreAnchoredAtTheTurnInputs) {
  ModelState defaults = DefaultState();
  defaults.Inputs.FeedTurns = 10.03;  // 5.03 feed turns after the delay: 50 points
  defaults.Inputs.CompressionTurns = 0.04;  // no compression point
  const ModelState state = GridFor(defaults);
  ASSERT_EQ(state.Grid.FeedPoints, 50);
  ASSERT_EQ(state.Grid.CompressionPoints, 0);
  const long double turnLength =
      3.14159265358979323846264338327950288L * 15.0 / std::cos(static_cast<long double>(state.Operating.HelixAngle));
  EXPECT_EQ(state.Grid.ChannelLength[50], static_cast<double>((static_cast<long double>(10.03) - 5.0 + 0.04) * turnLength));
  EXPECT_EQ(state.Grid.Depth[49], 1.4);
  EXPECT_EQ(state.Grid.Depth[50], 0.4);
  EXPECT_NEAR(state.Grid.Flight[50], 10.0, 1e-12);  // Flight still advanced by plain steps
}

TEST(AxialGrid, ShortMeteringZoneHasOnePoint) {
  ModelState defaults = DefaultState();
  defaults.Inputs.MeteringTurns = 0.05;
  const ModelState state = GridFor(defaults);
  EXPECT_EQ(state.Grid.MeteringPoints, 0);
  EXPECT_EQ(LastGridPoint(state.Grid), 170);
  EXPECT_EQ(state.Grid.Depth[170], 0.4);
}

TEST(AxialGrid, ASmallerGridLeavesHigherEntriesAlone) {
  ModelState state = GridFor(DefaultState());
  const double left = state.Grid.ChannelLength[257];
  state.Inputs.MeteringTurns = 2.0;
  BuildAxialGrid(state);
  EXPECT_EQ(LastGridPoint(state.Grid), 190);
  EXPECT_EQ(state.Grid.ChannelLength[257], left);
}

TEST(AxialGrid, FillsItsArraysToTheLastEntryButNeverBeyond) {
  ModelState state = DefaultState();
  state.Inputs.MeteringTurns = 43.0;  // 50 + 120 + 430: the last entry, 600
  ComputeOperatingPoint(state);
  BuildAxialGrid(state);
  EXPECT_EQ(LastGridPoint(state.Grid), 600);
  EXPECT_EQ(state.Grid.Depth[600], 0.4);
  state.Inputs.MeteringTurns = 43.1;  // one point more
  EXPECT_THROW(BuildAxialGrid(state), std::logic_error);
}

}  // namespace
