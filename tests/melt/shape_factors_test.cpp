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

// Each factor within one unit in the last place of its series, the sum
// over i = 1, 3, ..., 15 with pi the double, which mpmath gave to 40 digits
// for the double nearest each ratio (a deeper channel through the turned one).
TEST(ShapeFactors, WithinAnUlpOfTheirSeries) {
  const struct {
    double Ratio;
    long double Drag, Pressure;
  } cases[] = {
      {0.02, 0.989144909711183294801L, 0.987395022474322658642L},
      {0.3, 0.837182413417322178824L, 0.810935997420014693503L},
      {0.7, 0.628104062835056467722L, 0.568591757531800451337L},
      {1, 0.499999999999999946547L, 0.421731044865461040158L},
      {1.5, 0.35571055576306131767L, 0.261014278500725331506L},
      {2.5, 0.216941610056749775764L, 0.119695235859929454341L},
  };
  auto ulps = [](double value, long double exact) {
    const double nearest = static_cast<double>(exact);
    return static_cast<double>((value - exact) / (std::nextafter(nearest, 2.0) - nearest));
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Ratio);
    EXPECT_LE(std::fabs(ulps(Of(c.Ratio).Drag, c.Drag)), 1.0);
    EXPECT_LE(std::fabs(ulps(Of(c.Ratio).Pressure, c.Pressure)), 1.0);
  }
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
