// An angle is shown with as many digits as it takes to be true about its
// sign and about the bounds 0 and 90 degrees.

#include "app/run_figures.h"

#include <gtest/gtest.h>

namespace {

TEST(AngleDegreesText, TellsTheSideOfEachBound) {
  const struct {
    double Degrees;
    char Separator;
    const char* Text;
  } cases[] = {
      {2.5230755377215086, '.', "2.5"},   {45.0, ',', "45,0"},     {0.0, '.', "0.0"},
      {-1.1096446479747774e-08, '.', "-1.1e-08"}, {-0.04, '.', "-0.04"}, {0.04, '.', "0.04"},
      {89.96, '.', "89.96"},              {90.04, ',', "90,04"},   {90.0, '.', "90.0"},
      {123.44, '.', "123.4"},             {-5.0, '.', "-5.0"},
  };
  for (const auto& c : cases) EXPECT_EQ(AngleDegreesText(c.Degrees, c.Separator), c.Text) << c.Degrees;
}

}  // namespace
