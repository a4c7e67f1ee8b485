// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>

#include "materials/material_library.h"
#include "materials/viscosity_fit.h"

namespace {

// Each record's viscosity values were fitted from its source law over its
// window: the fit must give them again at the precision the record keeps.
TEST(ViscosityFit, EveryRecordsLawIsReproducedFromItsSource) {
  const MaterialLibrary library = LoadMaterialLibrary(CHUNG_LIBRARY_DIR, "");
  int fitted = 0;
  for (const Material& material : library.Materials) {
    if (!material.SourceLaw) continue;
    const ViscosityFit fit = FitSourceLaw(*material.SourceLaw, MaterialFitGrid(material));
    ASSERT_TRUE(fit.Fitted) << material.Key << ": " << fit.Problem;
    Material stored = material;
    StoreFit(fit, ViscosityUnit::GfSPerCm2, stored);
    for (MaterialValue value : {MaterialValue::ViscM0, MaterialValue::ViscB, MaterialValue::ViscN, MaterialValue::ViscT0}) {
      EXPECT_EQ(stored.Value(value), material.Value(value))
          << material.Key << " " << MaterialValueNames[static_cast<int>(value)].Name;
    }
    // The records' rms was computed another way than theirs; their largest error is ours.
    EXPECT_NEAR(fit.MaxPercent, *material.Fit.MaxPercent, 0.05) << material.Key;
    ++fitted;
  }
  EXPECT_EQ(fitted, 6);
}

TEST(ViscosityFit, MeasuredPointsOfTheLawItselfGiveItBack) {
  std::vector<ViscosityPoint> points;
  for (double t : {200.0, 220.0, 240.0}) {
    for (double g : {100.0, 1000.0, 5000.0}) {
      points.push_back({t, g, 3000.0 * std::exp(-0.02 * (t - 240.0)) * std::pow(g, 0.4 - 1.0)});
    }
  }
  const ViscosityFit fit = FitViscosityPoints(points);
  ASSERT_TRUE(fit.Fitted) << fit.Problem;
  EXPECT_NEAR(fit.M0, 3000.0, 1e-9);
  EXPECT_NEAR(fit.B, 0.02, 1e-14);
  EXPECT_NEAR(fit.N, 0.4, 1e-14);
  EXPECT_EQ(fit.T0, 240.0);
  EXPECT_LT(fit.MaxPercent, 1e-9);
  EXPECT_NEAR(FitViscosityPoints(points, 230.0).M0, 3000.0 * std::exp(0.2), 1e-8);
}

TEST(ViscosityFit, PointsThatCanNotMakeALawAreRefusedWithTheReason) {
  const struct {
    std::vector<ViscosityPoint> Points;
    const char* Problem;
  } cases[] = {
      {{{200, 100, 10}, {210, 1000, 5}}, "the fit needs 3 measured points or more"},
      {{{200, 100, 10}, {200, 1000, 5}, {200, 300, 7}}, "the points need two temperatures or more"},
      {{{200, 100, 10}, {210, 100, 5}, {220, 100, 7}}, "the points need two shear rates or more"},
      {{{200, 100, 10}, {210, 1000, -5}, {220, 300, 7}}, "point 2 needs a finite temperature"},
  };
  for (const auto& bad : cases) {
    const ViscosityFit fit = FitViscosityPoints(bad.Points);
    EXPECT_FALSE(fit.Fitted);
    EXPECT_EQ(fit.Problem.rfind(bad.Problem, 0), 0u) << fit.Problem;
  }
  SourceViscosityLaw overflowing;
  overflowing.Kind = SourceLawKind::PowerLaw;
  overflowing.K = 1e300;
  overflowing.Beta = -10;
  overflowing.N = 0.5;
  const ViscosityFit fit = FitSourceLaw(overflowing, FitGrid{{100, 200}, {300, 10000}, 200});
  EXPECT_FALSE(fit.Fitted);
  EXPECT_NE(fit.Problem.find("overflow"), std::string::npos) << fit.Problem;
}

TEST(ViscosityFit, PastedPointsReadWithAnySeparatorAndAHeader) {
  std::string error;
  const auto points = ParseViscosityPoints("T\tgamma\tmu\n200\t100\t1e3\r\n# comment\n\n210;1000;500\n220, 300, 7e2\n", error);
  ASSERT_TRUE(points) << error;
  ASSERT_EQ(points->size(), 3u);
  EXPECT_EQ((*points)[1].Viscosity, 500.0);
  const auto comma = ParseViscosityPoints("200\t100\t1000,5\n210;1000;2,5e2\n", error);
  ASSERT_TRUE(comma) << error;
  EXPECT_EQ((*comma)[0].Viscosity, 1000.5);
  EXPECT_EQ((*comma)[1].Viscosity, 250.0);
  EXPECT_FALSE(ParseViscosityPoints("200 100 1e3\n210 x 5\n", error));
  EXPECT_EQ(error.rfind("line 2 must hold three numbers", 0), 0u);
  EXPECT_FALSE(ParseViscosityPoints("200 100 1e3 4\n", error));
}

TEST(ViscosityFit, RoundingKeepsTheDigitsAsked) {
  EXPECT_EQ(RoundSignificant(75.9034, 3), 75.9);
  EXPECT_EQ(RoundSignificant(24206.4, 3), 24200.0);
  EXPECT_EQ(RoundSignificant(0.0064369, 3), 0.00644);
  EXPECT_EQ(RoundSignificant(-0.0064369, 2), -0.0064);
  EXPECT_EQ(RoundDecimals(0.448694, 4), 0.4487);
}

}  // namespace
