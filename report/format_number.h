#pragma once
// Number to text, exactly as the report prints it.

#include <cstdint>
#include <string>

enum class NumberForm { FixedForm, ExponentForm };

std::string FormatNumber(double value, NumberForm form, int32_t precision, int32_t digits,
                         char decimalSeparator = '.');

// The fixed form with `decimals` decimals, filled on the left with blanks to `width`.
std::string FormatPadded(int32_t width, int32_t decimals, double value, char decimalSeparator = '.');
