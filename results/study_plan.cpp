#include "results/study_plan.h"

#include <algorithm>
#include <cmath>

#include "materials/material_inputs.h"
#include "model/number_conversion.h"
#include "results/input_names.h"
#include "results/number_text.h"

namespace {

// Splits at any of `separators`.
std::vector<std::string_view> Split(std::string_view text, std::string_view separators) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find_first_of(separators, start)) != std::string_view::npos; start = end + 1) {
    parts.push_back(text.substr(start, end - start));
  }
  parts.push_back(text.substr(start));
  return parts;
}

// ';' in every locale; ',' too where it can not be the decimal separator, so
// that "200,300" is never one value in one locale and two in another by
// accident of the separator alone.
std::string_view ListSeparators(char decimalSeparator) { return decimalSeparator == ',' ? ";" : ";,"; }


// Whether two consecutive values of the range are the same double: the step
// is lost in the rounding there, and two cases would run the same inputs.
bool HasRepeatedValue(const StudyAxis& axis) {
  double previous = StudyAxisValue(axis, 0);
  for (uint64_t k = 1; k < axis.Count; ++k) {
    const double value = StudyAxisValue(axis, k);
    if (value == previous) return true;
    previous = value;
  }
  return false;
}

bool ParseRange(std::string_view values, char decimalSeparator, StudyAxis& axis, std::string& error) {
  const std::vector<std::string_view> parts = Split(values, ":");
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
  const double span = (to - from) / step;
  if (span < 0) {
    error = step > 0 ? "TO is below FROM while STEP is positive" : "TO is above FROM while STEP is negative";
    return false;
  }
  if (!(span + 1e-6 < static_cast<double>(MaxStudyCases))) {
    error = "the range has more than " + std::to_string(MaxStudyCases) + " values";
    return false;
  }
  axis.IsRange = true;
  axis.From = from;
  axis.Step = step;
  axis.DecimalSeparator = decimalSeparator;
  // The values FROM + k x STEP up to TO within a millionth of STEP: the
  // estimate from the span, then settled against that very test.
  const double limit = to + 1e-6 * step;
  if (!std::isfinite(limit)) {
    error = "the range leaves the numbers a double can hold";
    return false;
  }
  auto within = [&](uint64_t k) {
    const double value = StudyAxisValue(axis, k);
    return step > 0 ? value <= limit : value >= limit;
  };
  uint64_t count = static_cast<uint64_t>(span + 1e-6) + 1;
  while (count > 1 && !within(count - 1)) --count;
  while (within(count)) ++count;
  axis.Count = count;
  if (!std::isfinite(StudyAxisValue(axis, count - 1))) {
    error = "the range leaves the numbers a double can hold";
    return false;
  }
  if (HasRepeatedValue(axis)) {
    error = "STEP is too small: consecutive values of the range are the same number";
    return false;
  }
  return true;
}

bool ParseList(std::string_view values, char decimalSeparator, StudyAxis& axis, std::string& error) {
  for (std::string_view text : Split(values, ListSeparators(decimalSeparator))) {
    const std::optional<double> number = ConvertNumber(text, decimalSeparator);
    if (!number) {
      error = "value \"" + std::string(text) + "\" is not a number";
      return false;
    }
    axis.Values.push_back(*number);
    axis.Texts.emplace_back(text);
  }
  axis.Count = axis.Values.size();
  return true;
}

// DieMode's values are words, listed with ';' or ',' whatever the decimal
// separator; the batch tool's short words become the stage's. The stage
// refuses a word it does not know, case by case, as it would refuse it from
// --set.
void ParseWords(std::string_view values, StudyAxis& axis) {
  for (std::string_view text : Split(values, ";,")) {
    axis.Texts.push_back(DieModeText(text));
    axis.Values.push_back(static_cast<double>(axis.Values.size()));
  }
  axis.Count = axis.Values.size();
}

// Keys and file names hold neither ';' nor ',' (a file's may, and is then
// named by --material alone).
void ParseMaterials(std::string_view values, char decimalSeparator, StudyAxis& axis) {
  std::string list(values);
  for (char& c : list) {
    if (c == ',') c = ';';
  }
  for (std::string_view text : Split(list, ";")) {
    axis.Texts.emplace_back(text);
    axis.Values.push_back(static_cast<double>(axis.Values.size()));
  }
  axis.Count = axis.Values.size();
  axis.DecimalSeparator = decimalSeparator;
}

}  // namespace

std::string StudyAxisName(const StudyAxis& axis) {
  return axis.Input == MaterialAxisInput ? "Material" : InputNames[axis.Input].Name;
}

std::string ResolveMaterialAxes(StudyPlan& plan, const MaterialLibrary& library) {
  for (StudyAxis& axis : plan.Axes) {
    if (axis.Input != MaterialAxisInput) continue;
    axis.Materials.clear();
    for (const std::string& text : axis.Texts) {
      std::string error;
      std::optional<Material> material = ResolveMaterial(text, library, error);
      if (!material) return error;
      axis.Materials.push_back(std::move(*material));
    }
  }
  return {};
}

// Always FROM + k x STEP, never a running sum, so that rounding errors do not
// pile up along the range.
double StudyAxisValue(const StudyAxis& axis, uint64_t k) {
  return axis.IsRange ? axis.From + static_cast<double>(k) * axis.Step : axis.Values[k];
}

std::string StudyAxisText(const StudyAxis& axis, uint64_t k) {
  return axis.IsRange ? FieldText(StudyAxisValue(axis, k), axis.DecimalSeparator) : axis.Texts[k];
}

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
  if (name == "Material") {
    axis.Input = MaterialAxisInput;
  } else if (const std::optional<int> input = FindInputByName(name)) {
    axis.Input = *input;
  } else {
    error = "unknown input name \"" + std::string(name) + "\"; the names are " + InputNameList() + " and Material";
    return std::nullopt;
  }
  if (values.empty()) {
    error = "no values after '='";
    return std::nullopt;
  }
  if (IsWordInput(axis.Input)) {
    ParseWords(values, axis);
    return axis;
  }
  if (axis.Input == MaterialAxisInput) {
    ParseMaterials(values, decimalSeparator, axis);
    return axis;
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
    // Each factor is at most MaxStudyCases + 1 here, so the product fits.
    count *= std::min<uint64_t>(axis.Count, MaxStudyCases + 1);
    if (count > MaxStudyCases) return MaxStudyCases + 1;
  }
  return count;
}

std::string StudyCaseCountText(const StudyPlan& plan) {
  using Wide = unsigned __int128;
  constexpr Wide WideMax = ~Wide{0};
  Wide count = 1;
  bool overflow = false;
  for (const StudyAxis& axis : plan.Axes) {
    if (axis.Count == 0) return "0";
    if (count > WideMax / axis.Count) overflow = true;
    if (!overflow) count *= axis.Count;
  }
  Wide number = overflow ? WideMax : count;
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(number % 10)));
    number /= 10;
  } while (number != 0);
  return overflow ? "more than " + digits : digits;
}

std::vector<uint64_t> StudyCaseValues(const StudyPlan& plan, uint64_t caseNumber) {
  std::vector<uint64_t> indexes(plan.Axes.size());
  uint64_t rest = caseNumber - 1;
  for (std::size_t a = plan.Axes.size(); a-- > 0;) {
    const uint64_t size = plan.Axes[a].Count;
    indexes[a] = rest % size;
    rest /= size;
  }
  return indexes;
}

void ApplyStudyCase(const StudyPlan& plan, uint64_t caseNumber, RunTexts& texts, int32_t unitIndex) {
  const std::vector<uint64_t> indexes = StudyCaseValues(plan, caseNumber);
  // Materials first: a varied material input then overrides its material.
  for (std::size_t a = 0; a < plan.Axes.size(); ++a) {
    const StudyAxis& axis = plan.Axes[a];
    if (axis.Input == MaterialAxisInput && indexes[a] < axis.Materials.size()) {
      ApplyMaterial(axis.Materials[indexes[a]], texts, unitIndex, axis.DecimalSeparator);
    }
  }
  for (std::size_t a = 0; a < plan.Axes.size(); ++a) {
    const StudyAxis& axis = plan.Axes[a];
    if (axis.Input >= 0 && axis.Input < InputCount) texts[axis.Input] = StudyAxisText(axis, indexes[a]);
  }
}

RunSetup StudyCaseSetup(const StudyPlan& plan, uint64_t caseNumber, const RunSetup& base) {
  RunSetup run;
  run.Texts = base.Texts;
  run.UnitIndex = base.UnitIndex;
  run.DecimalSeparator = base.DecimalSeparator;
  run.Material = base.Material;
  run.MeltStage = base.MeltStage;
  run.Melt = base.Melt;
  const std::vector<uint64_t> indexes = StudyCaseValues(plan, caseNumber);
  for (std::size_t a = 0; a < plan.Axes.size(); ++a) {
    const StudyAxis& axis = plan.Axes[a];
    if (axis.Input == MaterialAxisInput && indexes[a] < axis.Materials.size()) run.Material = axis.Materials[indexes[a]];
  }
  ApplyStudyCase(plan, caseNumber, run.Texts, run.UnitIndex);
  ApplyStudyCase(plan, caseNumber, run.Melt);
  return run;
}

void ApplyStudyCase(const StudyPlan& plan, uint64_t caseNumber, MeltTexts& texts) {
  const std::vector<uint64_t> indexes = StudyCaseValues(plan, caseNumber);
  for (std::size_t a = 0; a < plan.Axes.size(); ++a) {
    const StudyAxis& axis = plan.Axes[a];
    if (IsMeltInput(axis.Input)) texts[axis.Input - InputCount] = StudyAxisText(axis, indexes[a]);
  }
}

bool StudyVariesMeltInput(const StudyPlan& plan) {
  for (const StudyAxis& axis : plan.Axes) {
    if (IsMeltInput(axis.Input)) return true;
  }
  return false;
}

uint64_t ShardCaseCount(uint64_t total, const StudyShard& shard) {
  const uint64_t first = ShardCaseNumber(shard, 0);
  return first > total ? 0 : (total - first) / shard.Count + 1;
}

uint64_t ShardCaseNumber(const StudyShard& shard, uint64_t j) {
  const uint64_t first = shard.Index == 1 ? shard.Count : shard.Index - 1;
  return first + j * shard.Count;
}

std::string StudyAxisPreview(const StudyAxis& axis) {
  constexpr uint64_t Shown = 5;  // then "..." and the last
  std::string text = std::to_string(axis.Count) + (axis.Count == 1 ? " case: " : " cases: ");
  for (uint64_t k = 0; k < axis.Count; ++k) {
    if (k == Shown && axis.Count > Shown + 1) {
      text += "...; ";
      k = axis.Count - 1;
    }
    text += StudyAxisText(axis, k);
    if (k + 1 < axis.Count) text += "; ";
  }
  return text;
}
