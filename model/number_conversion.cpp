#include "number_conversion.h"

#include <locale.h>
#include <stdlib.h>

#include <cmath>
#include <string>

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// strtod_l with the C locale rounds correctly and never depends on the
// user's settings; the text handed to it is already normalised.
locale_t CLocale() {
  static locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return locale;
}

}  // namespace

std::optional<double> ConvertNumber(std::string_view text, char decimalSeparator) {
  size_t pos = 0;
  const size_t end = text.size();
  while (pos < end && text[pos] == ' ') ++pos;

  std::string normal;  // sign, digits, '.', exponent: what strtod_l reads
  if (pos < end && (text[pos] == '+' || text[pos] == '-')) normal += text[pos++];

  bool anyDigit = false;
  bool anySeparator = false;
  while (pos < end) {
    const char c = text[pos];
    if (IsDigit(c)) {
      anyDigit = true;
      normal += c;
    } else if (c == decimalSeparator && !anySeparator) {
      anySeparator = true;
      normal += '.';
    } else {
      break;
    }
    ++pos;
  }
  if (!anyDigit && !anySeparator) return std::nullopt;
  if (!anyDigit) normal += '0';  // "." alone is zero

  if (pos < end && (text[pos] == 'E' || text[pos] == 'e')) {
    normal += 'e';
    ++pos;
    if (pos < end && (text[pos] == '+' || text[pos] == '-')) normal += text[pos++];
    bool exponentDigit = false;
    while (pos < end && IsDigit(text[pos])) {
      exponentDigit = true;
      normal += text[pos++];
    }
    if (!exponentDigit) return std::nullopt;
  }

  while (pos < end && text[pos] == ' ') ++pos;
  if (pos != end) return std::nullopt;

  const double value = strtod_l(normal.c_str(), nullptr, CLocale());
  if (std::isinf(value)) return std::nullopt;  // beyond the range of a double
  return value;
}
