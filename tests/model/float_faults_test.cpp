#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <string>

#include "model/float_faults.h"

namespace {

// Values come through volatile so the compiler can not fold the faults away.
volatile double Zero = 0.0;
volatile double One = 1.0;
volatile double Huge = DBL_MAX;
volatile double Tiny = DBL_MIN;

// The text of the fault that `compute` raises, or "" when it raises none.
template <typename Compute>
std::string FaultOf(Compute compute) {
  ClearFloatFaults();
  try {
    compute();
  } catch (const FloatFault& fault) {
    return fault.what();
  }
  return "";
}

TEST(FloatFaults, EachFaultIsNamedWithTheQuantity) {
  EXPECT_EQ(FaultOf([] { Checked((long double)One / Zero, "Slope"); }),
            "Floating point division by zero while computing Slope");
  EXPECT_EQ(FaultOf([] { Checked((long double)Zero / Zero, "Ratio"); }),
            "Floating point invalid operation while computing Ratio");
  // Finite in extended precision, too big for a double.
  EXPECT_EQ(FaultOf([] { Checked((long double)Huge * 4, "Product"); }),
            "Floating point overflow while computing Product");
  EXPECT_EQ(FaultOf([] { Checked(std::sqrt((long double)-One), "Root"); }),
            "Floating point invalid operation while computing Root");
  EXPECT_EQ(FaultOf([] { Checked(std::log((long double)Zero), "Log"); }),
            "Floating point division by zero while computing Log");
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
