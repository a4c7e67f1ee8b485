#pragma once
// Floating-point faults end a run at the operation that faults. Each formula is
// evaluated in long double (80-bit on x86-64); its result is rounded to double
// and checked before it is stored, so a faulting value is never stored.

#include <cfenv>
#include <stdexcept>
#include <string>
#include <utility>

class FloatFault : public std::runtime_error {
 public:
  explicit FloatFault(const std::string& message) : std::runtime_error(message) {}
  FloatFault(const std::string& message, std::string quantity)
      : std::runtime_error(message), Quantity(std::move(quantity)) {}
  std::string Quantity;  // what was being computed: "ConveyingAngle"; may be empty
};

// The flags that are faults; underflow and inexact results are none.
inline constexpr int FloatFaultFlags = FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW;

// Clears the fault flags; called when a calculation starts, since other code
// (the toolkit, a previous failed run) may have left them raised.
void ClearFloatFaults();

// One checked computation's own flags: it starts from clear flags, so no flag
// raised before it (number parsing, a message's text, an earlier computation)
// is charged to it, and the flags raised inside it are dropped when it ends,
// thrown or not, so none is charged to what comes after. The flags raised
// before it are raised again then, for an enclosing computation that tests
// its flags only once at its end.
class FloatFaultScope {
 public:
  FloatFaultScope();
  ~FloatFaultScope();
  FloatFaultScope(const FloatFaultScope&) = delete;
  FloatFaultScope& operator=(const FloatFaultScope&) = delete;

 private:
  std::fexcept_t before_;
};

// Clears the flags and throws FloatFault naming the fault and `quantity`.
[[noreturn]] void ThrowFloatFault(int raised, const char* quantity);

// Rounds `value` to double and throws FloatFault naming `quantity` if a
// division by zero, an invalid operation or an overflow was raised since the
// last check. Inline, since a run makes thousands of these checks.
inline double Checked(long double value, const char* quantity) {
  // The volatile store makes the value exist before the flags are read, so
  // the optimiser can not move the arithmetic past the test.
  volatile double stored = static_cast<double>(value);
  if (int raised = std::fetestexcept(FloatFaultFlags)) ThrowFloatFault(raised, quantity);
  return stored;
}

// The same check for a value that stays in extended precision.
inline long double CheckedExtended(long double value, const char* quantity) {
  volatile long double kept = value;
  if (int raised = std::fetestexcept(FloatFaultFlags)) ThrowFloatFault(raised, quantity);
  return kept;
}
