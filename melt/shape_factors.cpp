#include "melt/shape_factors.h"

#include <cmath>

#include "model/float_faults.h"

namespace {

constexpr long double Pi = 3.141592653589793;  // the double value
constexpr long double Zeta3 = 1.2020569031595942854L;
constexpr long double Zeta5 = 1.0369277551433699263L;
constexpr int TailTerms = 8;  // odd i = 1 .. 15: the rest is below 1e-20 for r <= 1

struct SmallRatioFactors {
  long double Drag;
  long double Pressure;
};

// The series for r <= 1, where e^(-pi i / r) can only underflow. The odd
// powers of one exponential stand for the exponentials of the terms.
SmallRatioFactors SmallRatio(long double r) {
  const long double q = std::exp(-Pi / r);
  const long double qSquared = q * q;
  long double power = q;  // q^i
  long double dragSum = 0;
  long double pressureSum = 0;
  for (int k = 0; k < TailTerms; ++k) {
    const long double i = 2 * k + 1;
    const long double t = power / (1.0L + power);
    dragSum += t / (i * i * i);
    pressureSum += t / (i * i * i * i * i);
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
    return {Checked(f.Drag, "DragShapeFactor"), Checked(f.Pressure, "PressureShapeFactor")};
  }
  // A channel deeper than wide is the same duct turned on its side; its lid
  // and the other three walls moving together would be plug flow.
  const long double x = (long double)width / depth;
  const SmallRatioFactors f = SmallRatio(x);
  return {Checked(1.0L - f.Drag, "DragShapeFactor"), Checked(f.Pressure * x * x, "PressureShapeFactor")};
}
