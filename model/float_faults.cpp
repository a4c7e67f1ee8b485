#include "float_faults.h"

void ClearFloatFaults() { std::feclearexcept(FE_ALL_EXCEPT); }

FloatFaultScope::FloatFaultScope() {
  std::fegetexceptflag(&before_, FloatFaultFlags);
  std::feclearexcept(FloatFaultFlags);
}

FloatFaultScope::~FloatFaultScope() {
  std::feclearexcept(FloatFaultFlags);
  std::fesetexceptflag(&before_, FloatFaultFlags);
}

void ThrowFloatFault(int raised, const char* quantity) {
  const char* fault = (raised & FE_INVALID)     ? "invalid operation"
                      : (raised & FE_DIVBYZERO) ? "division by zero"
                                                : "overflow";
  std::feclearexcept(FloatFaultFlags);
  throw FloatFault(std::string("Floating point ") + fault + " while computing " + quantity, quantity);
}
