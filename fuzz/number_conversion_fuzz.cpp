// ConvertNumber against strtod: a text is accepted exactly when it has the
// field syntax (blanks, sign, digits with at most one separator, exponent,
// blanks) and a finite value, and then converts to the value strtod gives.
// The first byte chooses the separator, the rest is the text.

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "model/number_conversion.h"

namespace {

bool Digit(char c) { return c >= '0' && c <= '9'; }

// The text strtod reads for a text of the field syntax, or "" when the text
// does not have it. Written from the syntax, apart from the converter.
std::string Expected(std::string_view text, char separator) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return "";
  const size_t last = text.find_last_not_of(' ');
  std::string_view core = text.substr(first, last - first + 1);

  std::string result;
  size_t i = 0;
  if (core[i] == '+' || core[i] == '-') result += core[i++];
  size_t digits = 0, separators = 0;
  for (; i < core.size() && (Digit(core[i]) || core[i] == separator); ++i) {
    if (core[i] == separator) {
      ++separators;
      result += '.';
    } else {
      ++digits;
      result += core[i];
    }
  }
  if (separators > 1 || digits + separators == 0) return "";
  if (digits == 0) result += '0';  // the separator alone is zero
  if (i < core.size() && (core[i] == 'e' || core[i] == 'E')) {
    result += 'e';
    ++i;
    if (i < core.size() && (core[i] == '+' || core[i] == '-')) result += core[i++];
    const size_t exponentStart = i;
    while (i < core.size() && Digit(core[i])) result += core[i++];
    if (i == exponentStart) return "";
  }
  return i == core.size() ? result : "";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const char separator = (data[0] & 1) != 0 ? ',' : '.';
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);

  const std::optional<double> converted = ConvertNumber(text, separator);
  const std::string expected = Expected(text, separator);
  if (expected.empty()) {
    FUZZ_CHECK(!converted, "a text outside the field syntax was accepted");
    return 0;
  }
  errno = 0;
  const double reference = std::strtod(expected.c_str(), nullptr);  // the "C" locale: never set here
  if (std::isinf(reference)) {
    FUZZ_CHECK(!converted, "a number beyond the range of a double was accepted");
    return 0;
  }
  FUZZ_CHECK(converted.has_value(), "a number of the field syntax was refused");
  FUZZ_CHECK(std::memcmp(&*converted, &reference, sizeof reference) == 0,
             "the converted value differs from strtod's");
  return 0;
}
