// SPDX-License-Identifier: GPL-3.0-or-later
// A sentence's decimal points in a window's separator: only a point between
// two digits is one.

#include <gtest/gtest.h>

#include "results/number_text.h"

namespace {

TEST(WithDecimalSeparator, OnlyAPointBetweenDigitsChanges) {
  const struct {
    const char* Text;
    const char* Shown;
  } cases[] = {
      {"melted at turn 18.7", "melted at turn 18,7"},
      {"X/W rises above 1 (1.578 at turn 16.00): the bed.", "X/W rises above 1 (1,578 at turn 16,00): the bed."},
      {"-0.0968471 / 1.5e-05 MPa", "-0,0968471 / 1,5e-05 MPa"},
      {"study-case-1.txt, cal/g.\u00B0C, Pa.s, 3.", "study-case-1.txt, cal/g.\u00B0C, Pa.s, 3."},
      {".5 and 5.", ".5 and 5."},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(WithDecimalSeparator(c.Text, ','), c.Shown) << c.Text;
  EXPECT_EQ(WithDecimalSeparator("18.7", '.'), "18.7");
}

}  // namespace
