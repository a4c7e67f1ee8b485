#include "float_faults.h"

#include <cfenv>

namespace {

constexpr int FaultFlags = FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW;

[[noreturn]] void ThrowFault(int raised, const char* quantity) {
  const char* fault = (raised & FE_INVALID)     ? "invalid operation"
                      : (raised & FE_DIVBYZERO) ? "division by zero"
                                                : "overflow";
  std::feclearexcept(FaultFlags);
  throw FloatFault(std::string("Floating point ") + fault + " while computing " + quantity);
}

}  // namespace

void ClearFloatFaults() { std::feclearexcept(FE_ALL_EXCEPT); }

double Checked(long double value, const char* quantity) {
  // The volatile store makes the value exist before the flags are read, so
  // the optimiser can not move the arithmetic past the test.
  volatile double stored = static_cast<double>(value);
  if (int raised = std::fetestexcept(FaultFlags)) ThrowFault(raised, quantity);
  return stored;
}

long double CheckedExtended(long double value, const char* quantity) {
  volatile long double kept = value;
  if (int raised = std::fetestexcept(FaultFlags)) ThrowFault(raised, quantity);
  return kept;
}
