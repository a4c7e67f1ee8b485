#pragma once
// Text to number as the run command reads the input fields: blanks, an
// optional sign, digits with at most one decimal separator, an optional
// exponent, blanks, nothing else. Independent of the process locale.

#include <optional>
#include <string_view>

std::optional<double> ConvertNumber(std::string_view text, char decimalSeparator = '.');
