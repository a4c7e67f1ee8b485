#include "report/format_number.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <ostream>
#include <string>

namespace {

constexpr NumberForm Fixed = NumberForm::FixedForm;
constexpr NumberForm Exponent = NumberForm::ExponentForm;
const double Inf = std::numeric_limits<double>::infinity();
const double NaN = std::numeric_limits<double>::quiet_NaN();

struct NumberCase {
  double Value;
  NumberForm Form;
  int Precision;
  int Digits;
  const char* Expected;
  const char* Why;
};

std::ostream& operator<<(std::ostream& out, const NumberCase& c) {
  return out << c.Why << ": " << c.Value << (c.Form == Fixed ? " fixed " : " exponent ")
             << c.Precision << "/" << c.Digits << " -> " << c.Expected;
}

class FormatNumberTable : public ::testing::TestWithParam<NumberCase> {};

TEST_P(FormatNumberTable, GivesTheExpectedText) {
  const NumberCase& c = GetParam();
  EXPECT_EQ(FormatNumber(c.Value, c.Form, c.Precision, c.Digits), c.Expected);
}

// The examples the report's number rules state for themselves.
INSTANTIATE_TEST_SUITE_P(StatedExamples, FormatNumberTable, ::testing::Values(
    NumberCase{15.0, Fixed, 5, 1, "15.0", "fixed"},
    NumberCase{123.456, Fixed, 5, 3, "123.460", "precision limits the digits"},
    NumberCase{0.00052, Fixed, 9, 7, "0.0005200", "leading fraction zeros"},
    NumberCase{0.125, Fixed, 5, 2, "0.13", "exact tie rounds away from zero"},
    NumberCase{-0.00001, Fixed, 6, 4, "0.0000", "negative rounding to zero loses its sign"},
    NumberCase{2.5e5, Fixed, 5, 2, "2.5E05", "scientific, exponent padded"},
    NumberCase{2.5e5, Fixed, 5, 1, "2.5E5", "scientific"},
    NumberCase{-1.234567e7, Fixed, 6, 1, "-1.23457E7", "scientific negative with rounding"},
    NumberCase{2.052, Exponent, 5, 2, "2.0520E+00", "exponent form"},
    NumberCase{0.036, Exponent, 5, 2, "3.6000E-02", "negative exponent"},
    NumberCase{-2.5, Exponent, 5, 2, "-2.5000E+00", "negative value"},
    NumberCase{0.0, Exponent, 5, 2, "0.0000E+00", "zero"}));

INSTANTIATE_TEST_SUITE_P(Rounding, FormatNumberTable, ::testing::Values(
    NumberCase{9.96, Fixed, 5, 1, "10.0", "carry into a new digit"},
    NumberCase{99.96, Fixed, 5, 1, "100.0", "carry through several nines"},
    NumberCase{12345.67, Fixed, 5, 2, "12346.00", "precision-limited, zeros after the digits"},
    NumberCase{99999.6, Fixed, 5, 1, "1E5", "carry pushes the value past the precision"},
    NumberCase{99.5, Fixed, 2, 1, "1E2", "carry past the precision with two digits"},
    NumberCase{0.15, Fixed, 5, 1, "0.1", "double just below the tie rounds down"},
    NumberCase{2.675, Fixed, 5, 2, "2.67", "double just below the tie rounds down"},
    NumberCase{0.35, Fixed, 5, 1, "0.3", "double just below the tie rounds down"},
    NumberCase{-123.456, Fixed, 5, 1, "-123.5", "negative rounds away from zero"},
    NumberCase{-0.00005, Fixed, 6, 4, "-0.0001", "negative tie keeps its sign once non-zero"},
    NumberCase{0.06, Fixed, 5, 1, "0.1", "no digit retained, first digit rounds up"},
    NumberCase{-0.05, Fixed, 5, 1, "-0.1", "no digit retained, first digit is five"},
    NumberCase{0.04, Fixed, 5, 1, "0.0", "no digit retained, first digit rounds down"},
    NumberCase{-0.04, Fixed, 5, 1, "0.0", "no digit retained, negative becomes zero"},
    NumberCase{0.0005, Fixed, 5, 3, "0.001", "no digit retained, rounds up to a new place"},
    NumberCase{0.0006, Fixed, 5, 1, "0.0", "fewer than zero digits retained is zero"},
    NumberCase{-0.0, Fixed, 5, 1, "0.0", "negative zero has no sign"},
    NumberCase{-0.0, Exponent, 5, 2, "0.0000E+00", "negative zero has no sign"},
    NumberCase{9.99996, Exponent, 5, 2, "1.0000E+01", "exponent-form carry raises the exponent"}));

// The value goes to 18 significant digits first and is rounded again from
// there; rounding the binary value directly gives a different last digit.
INSTANTIATE_TEST_SUITE_P(EighteenDigitStep, FormatNumberTable, ::testing::Values(
    // 5.98632026792492499822... -> 5.98632026792492500 (18 digits) -> ...493
    NumberCase{5.986320267924925, Exponent, 15, 2, "5.98632026792493E+00", "double rounding"},
    NumberCase{5.986320267924925, Fixed, 18, 14, "5.98632026792493", "double rounding, fixed"},
    // 0.1000000000000000055511... -> 0.100000000000000006
    NumberCase{0.1, Exponent, 18, 2, "1.00000000000000006E-01", "18 digits kept unchanged"},
    NumberCase{0.1, Fixed, 18, 20, "0.10000000000000000600", "18 digits kept, then zeros"},
    NumberCase{0.1, Exponent, 17, 2, "1.0000000000000001E-01", "17 of 18 digits"},
    NumberCase{0.1, Exponent, 30, 2, "1.00000000000000006E-01", "precision clamped to 18"},
    // 1e23 is 99999999999999991611392 as a double.
    NumberCase{1e23, Exponent, 17, 2, "9.9999999999999992E+22", "large integer"},
    NumberCase{1e23, Fixed, 5, 1, "1E23", "large integer, carry in scientific"}));

INSTANTIATE_TEST_SUITE_P(Layout, FormatNumberTable, ::testing::Values(
    NumberCase{123456.0, Fixed, 6, 1, "123456.0", "integer digits equal to the precision"},
    NumberCase{120000.0, Fixed, 5, 1, "1.2E5", "trailing zeros dropped in scientific"},
    NumberCase{300000.0, Fixed, 5, 1, "3E5", "single digit in scientific has no separator"},
    NumberCase{2.5e5, Fixed, 5, 4, "2.5E0005", "scientific exponent padded to four"},
    NumberCase{2.5e5, Fixed, 5, 6, "2.5E5", "more than four digits: as many as needed"},
    NumberCase{123.456, Fixed, 1, 3, "1.2E002", "precision clamped to 2"},
    NumberCase{1234.5, Fixed, 6, 0, "1235", "no decimals, no separator"},
    NumberCase{0.036, Exponent, 5, 4, "3.6000E-0002", "exponent padded to four"},
    NumberCase{0.036, Exponent, 5, 5, "3.6000E-2", "more than four digits: as many as needed"},
    NumberCase{0.036, Exponent, 5, 0, "3.6000E-2", "no padding"},
    NumberCase{1.5e-300, Exponent, 5, 2, "1.5000E-300", "three-digit exponent"},
    NumberCase{5e-324, Exponent, 5, 2, "4.9407E-324", "smallest subnormal"},
    NumberCase{1.7976931348623157e308, Exponent, 5, 2, "1.7977E+308", "largest double"},
    NumberCase{2.0, Exponent, 2, 2, "2.0E+00", "precision 2 in exponent form"}));

INSTANTIATE_TEST_SUITE_P(NotFinite, FormatNumberTable, ::testing::Values(
    NumberCase{Inf, Fixed, 5, 1, "INF", "infinity"},
    NumberCase{-Inf, Fixed, 5, 1, "-INF", "negative infinity"},
    NumberCase{NaN, Fixed, 5, 1, "NAN", "not a number"},
    NumberCase{Inf, Exponent, 5, 2, "INF", "infinity"},
    NumberCase{-Inf, Exponent, 5, 2, "-INF", "negative infinity"},
    NumberCase{-NaN, Exponent, 5, 2, "NAN", "not a number with the sign bit"}));

struct PaddedCase {
  int Width;
  int Decimals;
  double Value;
  const char* Expected;
};

std::ostream& operator<<(std::ostream& out, const PaddedCase& c) {
  return out << c.Width << "/" << c.Decimals << " " << c.Value << " -> '" << c.Expected << "'";
}

class FormatPaddedTable : public ::testing::TestWithParam<PaddedCase> {};

TEST_P(FormatPaddedTable, GivesTheExpectedText) {
  const PaddedCase& c = GetParam();
  EXPECT_EQ(FormatPadded(c.Width, c.Decimals, c.Value), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(Columns, FormatPaddedTable, ::testing::Values(
    PaddedCase{5, 2, 4.6, " 4.60"},
    PaddedCase{5, 3, 0.9, "0.900"},
    PaddedCase{6, 4, 0.00123, "0.0012"},
    PaddedCase{5, 1, 185.0, "185.0"},
    PaddedCase{5, 1, 0.0, "  0.0"},
    PaddedCase{5, 2, -4.6, "-4.60"},
    PaddedCase{6, 4, -0.00001, "0.0000"},
    PaddedCase{5, 1, 1000.0, "1000.0"},      // wider than the column: never cut
    PaddedCase{5, 1, 2.5e5, "2.5E5"},        // more integer digits than the width
    PaddedCase{5, 1, 99999.6, "  1E5"},      // three to width characters are filled...
    PaddedCase{5, 0, 7.0, "7"},              // ...fewer than three are not
    PaddedCase{5, 0, 12.0, "12"},
    PaddedCase{5, 0, 123.0, "  123"},
    PaddedCase{5, 1, NaN, "  NAN"},
    PaddedCase{5, 1, -Inf, " -INF"},
    PaddedCase{6, 4, 123.45678, "123.4570"}));  // the width is also the precision

TEST(FormatNumberSeparator, UsesTheGivenSeparatorEverywhere) {
  EXPECT_EQ(FormatNumber(15.0, Fixed, 5, 1, ','), "15,0");
  EXPECT_EQ(FormatNumber(0.00052, Fixed, 9, 7, ','), "0,0005200");
  EXPECT_EQ(FormatNumber(2.5e5, Fixed, 5, 1, ','), "2,5E5");
  EXPECT_EQ(FormatNumber(2.052, Exponent, 5, 2, ','), "2,0520E+00");
  EXPECT_EQ(FormatNumber(0.0, Exponent, 5, 2, ','), "0,0000E+00");
  EXPECT_EQ(FormatPadded(5, 2, 4.6, ','), " 4,60");
}

// The process locale must not leak into the report: only the separator the
// caller passes counts. The comma locale is the one the build makes for the
// tests (tests/CMakeLists.txt).
TEST(FormatNumberSeparator, IgnoresTheProcessLocale) {
  const char* previous = std::setlocale(LC_NUMERIC, nullptr);
  const std::string saved = previous != nullptr ? previous : "C";
  ASSERT_EQ(::setenv("LOCPATH", CHUNG_COMMA_LOCPATH, 1), 0);
  ASSERT_NE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"), nullptr) << "no de_DE.UTF-8 in " CHUNG_COMMA_LOCPATH;
  ASSERT_STREQ(std::localeconv()->decimal_point, ",");
  const std::string fixed = FormatNumber(2.052, Fixed, 5, 3);
  const std::string exponent = FormatNumber(2.052, Exponent, 5, 2);
  std::setlocale(LC_NUMERIC, saved.c_str());
  EXPECT_EQ(fixed, "2.052");
  EXPECT_EQ(exponent, "2.0520E+00");
}

// The text depends on the value alone, not on a rounding mode some other code
// left set: rounded downward, the 18-digit step would end in ...2499 and the
// last printed digit would drop.
TEST(FormatNumberRounding, IgnoresTheFloatingPointRoundingMode) {
  const int previous = std::fegetround();
  ASSERT_EQ(std::fesetround(FE_DOWNWARD), 0);
  const std::string text = FormatNumber(5.986320267924925, Exponent, 15, 2);
  std::fesetround(previous);
  EXPECT_EQ(text, "5.98632026792493E+00");
}

}  // namespace
