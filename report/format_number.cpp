#include "report/format_number.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <system_error>

namespace {

constexpr int MinPrecision = 2;
constexpr int MaxPrecision = 18;

// A finite value as 0.c1c2c3... x 10^Exponent with c1 != 0, or zero (no digits).
struct DecimalDigits {
  bool Negative = false;
  std::string Digits;     // c1 c2 ..., never a leading zero; empty means zero
  int64_t Exponent = 0;   // digits before the decimal point when positive
};

// The magnitude to 18 significant decimal digits, rounded to nearest. to_chars
// is correctly rounded and ignores the process locale, unlike printf.
DecimalDigits EighteenDigits(double value) {
  DecimalDigits result;
  if (value == 0.0) return result;
  result.Negative = std::signbit(value);
  char buffer[64];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                          std::chars_format::scientific, MaxPrecision - 1);
  // 64 bytes always hold "d.<17 digits>e-ddd"; a failure here would be a library fault.
  if (error != std::errc()) return result;
  const std::string text(buffer, end);  // d.ddddddddddddddddde[+-]xx
  const auto ePosition = text.find('e');
  for (size_t i = 0; i < ePosition; ++i) {
    if (text[i] != '.') result.Digits.push_back(text[i]);
  }
  int exponent = 0;
  const char* exponentText = text.c_str() + ePosition + 1;
  if (*exponentText == '+') ++exponentText;
  std::from_chars(exponentText, text.c_str() + text.size(), exponent);
  result.Exponent = static_cast<int64_t>(exponent) + 1;
  return result;
}

// Keeps `keep` significant digits, rounding half away from zero on the digits
// themselves (not on the binary value), then drops trailing zeros.
void RetainDigits(DecimalDigits& number, int64_t keep) {
  if (number.Digits.empty()) return;
  if (keep < 0) {
    number.Digits.clear();
  } else if (keep < static_cast<int64_t>(number.Digits.size())) {
    const bool roundUp = number.Digits[static_cast<size_t>(keep)] >= '5';
    number.Digits.resize(static_cast<size_t>(keep));
    if (roundUp) {
      int64_t position = keep - 1;
      while (position >= 0 && number.Digits[static_cast<size_t>(position)] == '9') {
        number.Digits[static_cast<size_t>(position)] = '0';
        --position;
      }
      if (position >= 0) {
        ++number.Digits[static_cast<size_t>(position)];
      } else {
        // The carry ran out past the first digit (or nothing was kept): 9.96 -> 10.0.
        number.Digits.assign(1, '1');
        ++number.Exponent;
      }
    }
  }
  while (!number.Digits.empty() && number.Digits.back() == '0') number.Digits.pop_back();
  if (number.Digits.empty()) {
    // Zero carries no sign: a small negative value shows as 0.0000.
    number.Negative = false;
    number.Exponent = 0;
  }
}

// The exponent's digits, zero-filled to `minimum` digits when that is at most 4.
std::string ExponentDigits(int64_t exponent, int64_t minimum) {
  std::string text = std::to_string(exponent < 0 ? -exponent : exponent);
  if (minimum <= 4 && static_cast<int64_t>(text.size()) < minimum) {
    text.insert(0, static_cast<size_t>(minimum) - text.size(), '0');
  }
  return text;
}

std::string FixedText(const DecimalDigits& number, int64_t precision, int64_t decimals,
                      char decimalSeparator) {
  const std::string& digits = number.Digits;
  const int64_t count = static_cast<int64_t>(digits.size());
  const int64_t e = number.Exponent;
  std::string text;
  if (number.Negative) text.push_back('-');

  if (e > precision) {
    // More integer digits than the precision allows: scientific notation.
    text.push_back(digits[0]);
    if (count > 1) {
      text.push_back(decimalSeparator);
      text.append(digits, 1, std::string::npos);
    }
    text.push_back('E');
    text += ExponentDigits(e - 1, decimals);
    return text;
  }

  if (e <= 0) {
    text.push_back('0');
  } else {
    text.append(digits, 0, static_cast<size_t>(std::min(e, count)));
    if (count < e) text.append(static_cast<size_t>(e - count), '0');
  }
  if (decimals > 0) {
    text.push_back(decimalSeparator);
    std::string fraction;
    if (e < 0) fraction.append(static_cast<size_t>(std::min(-e, decimals)), '0');
    const int64_t firstFractionDigit = std::max<int64_t>(e, 0);
    if (firstFractionDigit < count) fraction.append(digits, static_cast<size_t>(firstFractionDigit));
    // Exactly `decimals` digits; the retained digits never exceed them, the
    // resize only fills with zeros.
    fraction.resize(static_cast<size_t>(decimals), '0');
    text += fraction;
  }
  return text;
}

std::string ExponentText(const DecimalDigits& number, int64_t precision, int64_t digits,
                         char decimalSeparator) {
  std::string text;
  if (number.Negative) text.push_back('-');
  const bool zero = number.Digits.empty();
  text.push_back(zero ? '0' : number.Digits[0]);
  text.push_back(decimalSeparator);
  std::string rest = zero ? std::string() : number.Digits.substr(1);
  rest.resize(static_cast<size_t>(precision - 1), '0');
  text += rest;
  const int64_t exponent = zero ? 0 : number.Exponent - 1;
  text.push_back('E');
  text.push_back(exponent < 0 ? '-' : '+');
  text += ExponentDigits(exponent, digits);
  return text;
}

}  // namespace

std::string FormatNumber(double value, NumberForm form, int32_t precision, int32_t digits,
                         char decimalSeparator) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";

  const int64_t p = std::clamp<int64_t>(precision, MinPrecision, MaxPrecision);
  const int64_t d = digits;
  DecimalDigits number = EighteenDigits(value);
  const int64_t keep = form == NumberForm::FixedForm ? std::min(p, number.Exponent + d) : p;
  RetainDigits(number, keep);

  if (form == NumberForm::ExponentForm) return ExponentText(number, p, d, decimalSeparator);
  return FixedText(number, p, d, decimalSeparator);
}

std::string FormatPadded(int32_t width, int32_t decimals, double value, char decimalSeparator) {
  std::string text = FormatNumber(value, NumberForm::FixedForm, width, decimals, decimalSeparator);
  // Texts of 3 to `width` characters are filled to `width`; shorter ones stay
  // as they are and longer ones are never cut.
  const int64_t length = static_cast<int64_t>(text.size());
  if (length >= 3 && length < width) text.insert(0, static_cast<size_t>(width - length), ' ');
  return text;
}
