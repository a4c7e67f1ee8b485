#include "results/study_plan.h"

#include <cmath>

#include "model/number_conversion.h"
#include "results/input_names.h"
#include "results/number_text.h"

namespace {

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find(separator, start)) != std::string_view::npos; start = end + 1) {
    parts.push_back(text.substr(start, end - start));
  }
  parts.push_back(text.substr(start));
  return parts;
}

// A generated value as the run reads a field: the locale's separator.
std::string FieldText(double value, char decimalSeparator) {
  std::string text = RoundTripText(value);
  for (char& c : text) {
    if (c == '.') c = decimalSeparator;
  }
  return text;
}

bool ParseRange(std::string_view values, char decimalSeparator, StudyAxis& axis, std::string& error) {
  const std::vector<std::string_view> parts = Split(values, ':');
  if (parts.size() != 3) {
    error = "a range is FROM:TO:STEP, three numbers";
    return false;
  }
  double numbers[3];
  const char* const what[3] = {"FROM", "TO", "STEP"};
  for (int i = 0; i < 3; ++i) {
    const std::optional<double> number = ConvertNumber(parts[i], decimalSeparator);
    if (!number) {
      error = std::string(what[i]) + " \"" + std::string(parts[i]) + "\" is not a number";
      return false;
    }
    numbers[i] = *number;
  }
  const double from = numbers[0], to = numbers[1], step = numbers[2];
  if (step == 0) {
    error = "STEP must not be 0";
    return false;
  }
  if ((to - from) / step < 0) {
    error = step > 0 ? "TO is below FROM while STEP is positive" : "TO is above FROM while STEP is negative";
    return false;
  }
  // Values are FROM + k x STEP, never a running sum, so that rounding errors
  // do not pile up along the range.
  const double tolerance = 1e-6 * step;
  if ((to - from) / step + 1e-6 >= static_cast<double>(MaxStudyCases)) {
    error = "the range has more than " + std::to_string(MaxStudyCases) + " values";
    return false;
  }
  for (uint64_t k = 0;; ++k) {
    const double value = from + static_cast<double>(k) * step;
    if (step > 0 ? value > to + tolerance : value < to + tolerance) break;
    if (!std::isfinite(value)) {
      error = "the range leaves the numbers a double can hold";
      return false;
    }
    axis.Values.push_back(value);
    axis.Texts.push_back(FieldText(value, decimalSeparator));
  }
  return true;
}

bool ParseList(std::string_view values, char decimalSeparator, StudyAxis& axis, std::string& error) {
  const char separator = decimalSeparator == ',' ? ';' : ',';
  for (std::string_view text : Split(values, separator)) {
    const std::optional<double> number = ConvertNumber(text, decimalSeparator);
    if (!number) {
      error = "value \"" + std::string(text) + "\" is not a number";
      return false;
    }
    axis.Values.push_back(*number);
    axis.Texts.emplace_back(text);
  }
  return true;
}

}  // namespace

std::optional<StudyAxis> ParseStudyAxis(std::string_view argument, char decimalSeparator,
                                         std::string& error) {
  const std::size_t equals = argument.find('=');
  if (equals == std::string_view::npos) {
    error = "no '=' between the input name and its values";
    return std::nullopt;
  }
  const std::string_view name = argument.substr(0, equals);
  const std::string_view values = argument.substr(equals + 1);
  StudyAxis axis;
  if (const std::optional<int> input = FindInputByName(name)) {
    axis.Input = *input;
  } else {
    error = "unknown input name \"" + std::string(name) + "\"; the names are " + InputNameList();
    return std::nullopt;
  }
  if (values.empty()) {
    error = "no values after '='";
    return std::nullopt;
  }
  const bool parsed = values.find(':') != std::string_view::npos
                          ? ParseRange(values, decimalSeparator, axis, error)
                          : ParseList(values, decimalSeparator, axis, error);
  if (!parsed) return std::nullopt;
  return axis;
}

uint64_t StudyCaseCount(const StudyPlan& plan) {
  uint64_t count = 1;
  for (const StudyAxis& axis : plan.Axes) {
    count *= axis.Values.size();
    if (count > MaxStudyCases) return MaxStudyCases + 1;
  }
  return count;
}

std::vector<std::size_t> StudyCaseValues(const StudyPlan& plan, uint64_t caseNumber) {
  std::vector<std::size_t> indexes(plan.Axes.size());
  uint64_t rest = caseNumber - 1;
  for (std::size_t a = plan.Axes.size(); a-- > 0;) {
    const uint64_t size = plan.Axes[a].Values.size();
    indexes[a] = rest % size;
    rest /= size;
  }
  return indexes;
}

void ApplyStudyCase(const StudyPlan& plan, uint64_t caseNumber, RunTexts& texts) {
  const std::vector<std::size_t> indexes = StudyCaseValues(plan, caseNumber);
  for (std::size_t a = 0; a < plan.Axes.size(); ++a) {
    texts[plan.Axes[a].Input] = plan.Axes[a].Texts[indexes[a]];
  }
}

uint64_t ShardCaseCount(uint64_t total, const StudyShard& shard) {
  const uint64_t first = ShardCaseNumber(shard, 0);
  return first > total ? 0 : (total - first) / shard.Count + 1;
}

uint64_t ShardCaseNumber(const StudyShard& shard, uint64_t j) {
  const uint64_t first = shard.Index == 1 ? shard.Count : shard.Index - 1;
  return first + j * shard.Count;
}
