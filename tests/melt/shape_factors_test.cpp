// The rectangular channel's shape factors against their identities, their
// limits and the classical series summed the slow way.
#include "melt/shape_factors.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr long double Pi = 3.141592653589793238462643383279502884L;

// The classical forms with tanh, summed far enough for 1e-12.
double PlainDrag(double r) {
  long double sum = 0;
  for (long i = 1; i < 400001; i += 2) sum += std::tanh(i * Pi * r / 2) / ((long double)i * i * i);
  return static_cast<double>(16 / (Pi * Pi * Pi * r) * sum);
}

double PlainPressure(double r) {
  long double sum = 0;
  for (long i = 1; i < 20001; i += 2) sum += std::tanh(i * Pi / (2 * r)) / ((long double)i * i * i * i * i);
  return static_cast<double>(1 - 192 * r / (Pi * Pi * Pi * Pi * Pi) * sum);
}

ShapeFactors Of(double r) { return ChannelShapeFactors(r, 1.0); }

TEST(ShapeFactors, SquareChannel) {
  EXPECT_NEAR(Of(1).Drag, 0.5, 1e-15);
  EXPECT_NEAR(Of(1).Pressure, 0.4217310, 0.5e-7);
}

TEST(ShapeFactors, TurnedChannelIdentities) {
  for (double r : {0.01, 0.2, 0.7, 0.999}) {
    SCOPED_TRACE(r);
    // All four walls moving together carry the channel as a plug.
    EXPECT_NEAR(Of(r).Drag + Of(1 / r).Drag, 1.0, 1e-15);
    // The duct on its side: W H^3 Fp(H/W) = H W^3 Fp(W/H).
    EXPECT_NEAR(Of(1 / r).Pressure, r * r * Of(r).Pressure, 1e-15);
    // Depth and width count only through their ratio.
    EXPECT_NEAR(ChannelShapeFactors(3 * r, 3).Drag, Of(r).Drag, 1e-15);
  }
}

// The slopes stated to six places, 0.542718 and 0.630249, hold to four:
// the series' own limits are 0.542756 and 0.630294.
TEST(ShapeFactors, ShallowChannelSlopes) {
  const double r = 1e-6;
  EXPECT_NEAR((1 - Of(r).Drag) / r, 0.542718, 1e-4);
  EXPECT_NEAR((1 - Of(r).Pressure) / r, 0.630249, 1e-4);
}

TEST(ShapeFactors, AgreeWithThePlainSeries) {
  for (double r : {0.02, 0.3, 1.0, 2.5}) {
    SCOPED_TRACE(r);
    EXPECT_NEAR(Of(r).Drag, PlainDrag(r), 1e-10);
    EXPECT_NEAR(Of(r).Pressure, PlainPressure(r), 1e-10);
  }
}

}  // namespace
