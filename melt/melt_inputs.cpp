#include "melt/melt_inputs.h"

#include "model/number_conversion.h"

namespace {

struct MeltInputRule {
  double MeltInputs::*Member;
  const char* Message;
  bool AllowZero;  // pressures and the factor may be 0; lengths and the constant may not
};

// In MeltTexts order, DieMode excepted.
constexpr std::array<MeltInputRule, MeltInputCount> Rules = {{
    {nullptr, "Value of Die Mode is not correct!", false},
    {&MeltInputs::DieHeadPressure, "Value of Die Head Pressure is not correct!", true},
    {&MeltInputs::DieDiameter, "Value of Die Diameter is not correct!", false},
    {&MeltInputs::DieLength, "Value of Die Length is not correct!", false},
    {&MeltInputs::DieSlitWidth, "Value of Die Slit Width is not correct!", false},
    {&MeltInputs::DieSlitGap, "Value of Die Slit Gap is not correct!", false},
    {&MeltInputs::DieConstant, "Value of Die Constant is not correct!", false},
    {&MeltInputs::MeltStartPressure, "Value of Melt Start Pressure is not correct!", true},
    {&MeltInputs::BarrelHeatTransferFactor, "Value of Barrel Heat Transfer Factor is not correct!", true},
}};

bool ModeReads(DieMode mode, int index) {
  switch (index) {
    case DieHeadPressureInput: return mode == DieMode::HeadPressure;
    case DieDiameterInput: return mode == DieMode::Capillary;
    case DieLengthInput: return mode == DieMode::Capillary || mode == DieMode::Slit;
    case DieSlitWidthInput:
    case DieSlitGapInput: return mode == DieMode::Slit;
    case DieConstantInput: return mode == DieMode::Constant;
    default: return true;
  }
}

std::string WithSeparator(std::string text, char decimalSeparator) {
  for (char& c : text) {
    if (c == '.') c = decimalSeparator;
  }
  return text;
}

}  // namespace

const char* DieModeName(DieMode mode) { return DieModeNames[static_cast<int>(mode)]; }

std::optional<DieMode> FindDieMode(std::string_view text) {
  for (size_t k = 0; k < DieModeNames.size(); ++k) {
    if (text == DieModeNames[k]) return static_cast<DieMode>(k);
  }
  return std::nullopt;
}

MeltTexts InitialMeltTexts(char decimalSeparator) {
  return {"None",
          WithSeparator("0.0", decimalSeparator),
          WithSeparator("0.5", decimalSeparator),
          WithSeparator("2.0", decimalSeparator),
          WithSeparator("10.0", decimalSeparator),
          WithSeparator("0.2", decimalSeparator),
          WithSeparator("0.001", decimalSeparator),
          WithSeparator("0.0", decimalSeparator),
          WithSeparator("1.0", decimalSeparator)};
}

std::optional<std::string> ConvertMeltInputs(const MeltTexts& texts, char decimalSeparator, MeltInputs& inputs) {
  const std::optional<DieMode> mode = FindDieMode(texts[DieModeInput]);
  if (!mode) return Rules[DieModeInput].Message;
  inputs.DieMode = *mode;
  for (int k = DieHeadPressureInput; k < MeltInputCount; ++k) {
    const MeltInputRule& rule = Rules[k];
    const std::optional<double> value = ConvertNumber(texts[k], decimalSeparator);
    // A text that is no finite number is refused even where the mode does
    // not read it: the user typed it for a die and would not learn otherwise.
    if (!value) return rule.Message;
    if (!ModeReads(*mode, k)) continue;
    if (!value || *value < 0 || (*value == 0 && !rule.AllowZero)) return rule.Message;
    // A gap wider than the slit would turn the slit on its side.
    if (k == DieSlitGapInput && *value > inputs.DieSlitWidth) return rule.Message;
    inputs.*rule.Member = *value;
  }
  return std::nullopt;
}
