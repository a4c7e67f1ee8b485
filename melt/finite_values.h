#pragma once
// The stage's fault rule: any non-finite value ends the stage. Testing the
// floating-point flags after every stored value would cost more than the
// stage's arithmetic (the flag read is slow); each stored value is tested
// for finiteness instead, and the flags once when the stage ends, so that a
// fault hidden in an intermediate result is not missed either.

#include <cmath>

#include "model/float_faults.h"

[[noreturn]] void ThrowNonFinite(const char* quantity);

// Rounds to double; throws FloatFault when the result is not finite.
inline double Finite(long double value, const char* quantity) {
  const double stored = static_cast<double>(value);
  if (!std::isfinite(stored)) ThrowNonFinite(quantity);
  return stored;
}

inline long double FiniteExtended(long double value, const char* quantity) {
  if (!std::isfinite(value)) ThrowNonFinite(quantity);
  return value;
}

// Throws FloatFault if a fault flag was raised since the stage cleared them.
void CheckStageFlags();
