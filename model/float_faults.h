#pragma once
// Floating-point faults end a run at the operation that faults. Each formula is
// evaluated in long double (80-bit on x86-64); its result is rounded to double
// and checked before it is stored, so a faulting value is never stored.

#include <stdexcept>
#include <string>

class FloatFault : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Clears the fault flags; called when a calculation starts, since other code
// (the toolkit, a previous failed run) may have left them raised.
void ClearFloatFaults();

// Rounds `value` to double and throws FloatFault naming `quantity` if a
// division by zero, an invalid operation or an overflow was raised since the
// last check. Underflow and inexact results are no faults.
double Checked(long double value, const char* quantity);

// The same check for a value that stays in extended precision.
long double CheckedExtended(long double value, const char* quantity);
