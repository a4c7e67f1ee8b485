#include "data_file.h"

#include <cstdio>
#include <limits>
#include <optional>
#include <string_view>

namespace {

const char* const UnitMessage = "To specify the unit of viscosity, select \"0\" or \"1\" only!";

// Closes the file on every way out of the reader.
struct FileCloser {
  std::FILE* File;
  ~FileCloser() {
    if (File != nullptr) std::fclose(File);
  }
};

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The unit line's integer: optional sign, then decimal digits or a hexadecimal
// number introduced by $, x, X, 0x or 0X; nothing after it. A decimal number
// must lie in the signed 32-bit range; a hexadecimal one is a 32-bit pattern,
// so $FFFFFFFF is -1. The magnitude is accumulated in 64 bits and stopped as
// soon as it leaves the range, so a long run of digits can not wrap around
// into an accepted value.
std::optional<int32_t> ParseUnitInteger(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  int base = 10;
  if (text.starts_with('$') || text.starts_with('x') || text.starts_with('X')) {
    base = 16;
    text.remove_prefix(1);
  } else if (text.starts_with("0x") || text.starts_with("0X")) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return std::nullopt;

  const int64_t limit = base == 16 ? static_cast<int64_t>(std::numeric_limits<uint32_t>::max())
                        : negative  ? -static_cast<int64_t>(std::numeric_limits<int32_t>::min())
                                    : static_cast<int64_t>(std::numeric_limits<int32_t>::max());
  int64_t magnitude = 0;
  for (char c : text) {
    int digit = base == 16 ? HexDigitValue(c) : (c >= '0' && c <= '9' ? c - '0' : -1);
    if (digit < 0) return std::nullopt;
    magnitude = magnitude * base + digit;
    if (magnitude > limit) return std::nullopt;
  }
  const auto pattern = static_cast<uint32_t>(magnitude);
  return static_cast<int32_t>(negative ? 0u - pattern : pattern);
}

// A text file holds no NUL byte; UTF-16 (and UTF-32) text of ASCII letters
// does, and starts with a byte order mark when it has one.
bool IsText(const DataFileLineArray& lines) {
  const std::string_view first = lines[0];
  if (first.starts_with("\xFF\xFE") || first.starts_with("\xFE\xFF")) return false;
  for (const std::string& line : lines) {
    if (line.find('\0') != std::string::npos) return false;
  }
  return true;
}

}  // namespace

bool ReadDataFileLines(const std::string& path, DataFileLineArray& lines, int* longLine) {
  if (longLine != nullptr) *longLine = 0;
  // stdio rather than a stream: ferror tells a failed read (a directory, an
  // I/O error) apart from the end of the file.
  FileCloser file{std::fopen(path.c_str(), "rb")};
  if (file.File == nullptr) return false;

  for (int number = 1; number <= DataFileLineCount; ++number) {
    std::string line;
    std::size_t length = 0;  // bytes before the LF, a CR right before it excluded
    bool lastWasCr = false;
    int c;
    while ((c = std::fgetc(file.File)) != EOF && c != '\n') {
      if (lastWasCr) ++length;  // that CR was not part of the line end
      lastWasCr = c == '\r';
      if (!lastWasCr) ++length;
      if (length > MaxDataLineBytes) {
        if (longLine != nullptr) *longLine = number;
        return false;
      }
      // A CR before LF belongs to the line end; a lone CR is dropped too.
      if (c != '\r') line.push_back(static_cast<char>(c));
    }
    if (std::ferror(file.File)) return false;
    lines[number - 1] = std::move(line);
  }
  return true;
}

std::string LongDataLineMessage(const std::string& dataFileName, int line) {
  return "\"" + dataFileName + "\" is not a correct data file! Line " + std::to_string(line) +
         " is longer than " + std::to_string(MaxDataLineBytes) + " bytes.";
}

DataLineValues ParseDataLines(const DataFileLineArray& lines, const std::string& dataFileName) {
  DataLineValues result;
  std::array<std::string, DataFileLineCount> values;

  for (int i = 0; i < DataFileLineCount; ++i) {
    const std::string& line = lines[i];
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) {
      result.Message = "\"" + dataFileName + "\" is not a correct data file!";
      return result;
    }
    std::string value = line.substr(equals + 1);
    // Only the blank counts; a tab stays part of the value.
    value.erase(0, value.find_first_not_of(' '));
    values[i] = std::move(value);
  }

  if (!IsText(lines)) {
    result.Message = "\"" + dataFileName + "\" is not a text data file! Save it as plain text (ASCII or UTF-8).";
    return result;
  }

  for (std::string& value : values) {
    const std::size_t blank = value.find(' ');
    if (blank != std::string::npos) value.erase(blank);
  }

  const std::optional<int32_t> unit = ParseUnitInteger(values[DataFileLineCount - 1]);
  if (!unit) {
    result.Message = UnitMessage;
    return result;
  }

  result.UnitIndex = *unit == 0 ? 0 : 1;
  for (int k = 0; k < InputCount; ++k) result.Values[k] = std::move(values[k]);
  result.Accepted = true;
  return result;
}

std::string DataFileNumberText(const std::string& text, char decimalSeparator) {
  const char other = decimalSeparator == ',' ? '.' : ',';
  if (text.find(decimalSeparator) != std::string::npos) return text;
  std::string converted = text;
  for (char& c : converted) {
    if (c == other) c = decimalSeparator;
  }
  return converted;
}
