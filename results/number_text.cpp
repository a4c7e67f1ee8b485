#include "results/number_text.h"

#include <charconv>
#include <cmath>

std::string RoundTripText(double value) {
  char text[64];
  const std::to_chars_result end = std::to_chars(text, text + sizeof text, value);
  return std::string(text, end.ptr);
}

std::string FixedText(double value, int decimals) {
  char text[400];
  const std::to_chars_result end =
      std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
  if (end.ec != std::errc()) return RoundTripText(value);
  std::string result(text, end.ptr);
  // "-0.0" reads as a sign the value does not have at this precision.
  if (result[0] == '-' && result.find_first_not_of("-0.") == std::string::npos) result.erase(0, 1);
  return result;
}

std::string FieldText(double value, char decimalSeparator) {
  std::string text = RoundTripText(value);
  for (char& c : text) {
    if (c == '.') c = decimalSeparator;
  }
  return text;
}

std::string WithDecimalSeparator(std::string text, char decimalSeparator) {
  const auto digit = [](char c) { return c >= '0' && c <= '9'; };
  for (std::size_t i = 1; i + 1 < text.size(); ++i) {
    if (text[i] == '.' && digit(text[i - 1]) && digit(text[i + 1])) text[i] = decimalSeparator;
  }
  return text;
}
