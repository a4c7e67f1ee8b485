#include "melt/finite_values.h"

#include <string>

void ThrowNonFinite(const char* quantity) {
  std::feclearexcept(FloatFaultFlags);
  throw FloatFault(std::string("Non-finite value while computing ") + quantity, quantity);
}

void CheckStageFlags() {
  if (int raised = std::fetestexcept(FloatFaultFlags)) ThrowFloatFault(raised, "an intermediate value");
}
