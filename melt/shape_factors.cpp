#include "melt/shape_factors.h"

#include <cmath>

#include "melt/finite_values.h"

namespace {

constexpr long double Pi = 3.141592653589793;  // the double value
constexpr long double Zeta3 = 1.2020569031595942854L;
constexpr long double Zeta5 = 1.0369277551433699263L;
constexpr int TailTerms = 8;  // odd i = 1 .. 15: the rest is below 1e-20 for r <= 1

struct SmallRatioFactors {
  long double Drag;
  long double Pressure;
};

// 1/i^3 and 1/i^5 for odd i = 1 .. 15.
constexpr long double InverseCube[TailTerms] = {1.0L,          1.0L / 27,    1.0L / 125,   1.0L / 343,
                                                1.0L / 729,    1.0L / 1331,  1.0L / 2197,  1.0L / 3375};
constexpr long double InverseFifth[TailTerms] = {1.0L,           1.0L / 243,     1.0L / 3125,    1.0L / 16807,
                                                 1.0L / 59049,   1.0L / 161051,  1.0L / 371293,  1.0L / 759375};
// A term below this is beyond the last digit of the extended sum.
constexpr long double NegligibleTerm = 1e-24L;

// The series for r <= 1, where e^(-pi i / r) can only underflow. The odd
// powers of one exponential stand for the exponentials of the terms.
SmallRatioFactors SmallRatio(long double r) {
  const long double q = std::exp(-Pi / r);
  const long double qSquared = q * q;
  long double power = q;  // q^i
  long double dragSum = 0;
  long double pressureSum = 0;
  for (int k = 0; k < TailTerms && power > NegligibleTerm; ++k) {
    const long double t = power / (1.0L + power);
    dragSum += t * InverseCube[k];
    pressureSum += t * InverseFifth[k];
    power *= qSquared;
  }
  const long double pi3 = Pi * Pi * Pi;
  const long double pi5 = pi3 * Pi * Pi;
  return {1.0L - (16.0L * r / pi3) * (7.0L / 8.0L * Zeta3 - 2.0L * dragSum),
          1.0L - (192.0L * r / pi5) * (31.0L / 32.0L * Zeta5 - 2.0L * pressureSum)};
}

}  // namespace

ShapeFactors ChannelShapeFactors(double depth, double width) {
  if (depth <= width) {
    const SmallRatioFactors f = SmallRatio((long double)depth / width);
    return {Finite(f.Drag, "DragShapeFactor"), Finite(f.Pressure, "PressureShapeFactor")};
  }
  // A channel deeper than wide is the same duct turned on its side; its lid
  // and the other three walls moving together would be plug flow.
  const long double x = (long double)width / depth;
  const SmallRatioFactors f = SmallRatio(x);
  return {Finite(1.0L - f.Drag, "DragShapeFactor"), Finite(f.Pressure * x * x, "PressureShapeFactor")};
}
