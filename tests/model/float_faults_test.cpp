#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

#include "model/float_faults.h"

namespace {

// Values come through volatile so the compiler can not fold the faults away.
volatile double Zero = 0.0;
volatile double One = 1.0;
volatile double Huge = DBL_MAX;
volatile double Tiny = DBL_MIN;

TEST(FloatFaults, EachFaultIsNamedWithTheQuantity) {
  ClearFloatFaults();
  EXPECT_THROW(
      {
        try {
          Checked((long double)One / Zero, "Slope");
        } catch (const FloatFault& f) {
          EXPECT_STREQ(f.what(), "Floating point division by zero while computing Slope");
          throw;
        }
      },
      FloatFault);
  EXPECT_THROW(
      {
        try {
          Checked((long double)Zero / Zero, "Ratio");
        } catch (const FloatFault& f) {
          EXPECT_STREQ(f.what(), "Floating point invalid operation while computing Ratio");
          throw;
        }
      },
      FloatFault);
  EXPECT_THROW(
      {
        try {
          Checked((long double)Huge * 4, "Product");  // finite in extended, too big for a double
        } catch (const FloatFault& f) {
          EXPECT_STREQ(f.what(), "Floating point overflow while computing Product");
          throw;
        }
      },
      FloatFault);
  EXPECT_THROW(Checked(std::sqrt((long double)-One), "Root"), FloatFault);
  EXPECT_THROW(Checked(std::log((long double)-One), "Log"), FloatFault);
}

TEST(FloatFaults, UnderflowAndInexactPass) {
  ClearFloatFaults();
  EXPECT_EQ(Checked((long double)Tiny * Tiny, "Small"), 0.0);
  EXPECT_EQ(Checked(std::exp(-(long double)Huge), "Exp"), 0.0);
  EXPECT_EQ(Checked((long double)One / 3, "Third"), 1.0 / 3);
}

TEST(FloatFaults, AFaultDoesNotLingerIntoTheNextCheck) {
  ClearFloatFaults();
  EXPECT_THROW(Checked((long double)One / Zero, "First"), FloatFault);
  EXPECT_EQ(Checked((long double)One + One, "Second"), 2.0);
}

}  // namespace
