#pragma once
// The melt-conveying stage's own inputs: nine texts beside the run's 29,
// converted by the same number rules as the fields and checked in a fixed
// order. The texts belong to the caller (window, batch tool, study case);
// MeltInputs holds the converted values in the units the user types
// (MPa, cm, cm3) and is what RunMeltStage reads.

#include <array>
#include <optional>
#include <string>
#include <string_view>

enum class DieMode { None, HeadPressure, Capillary, Slit, Constant };

inline constexpr int MeltInputCount = 9;

// Positions in MeltTexts and MeltInputNames.
enum MeltInputIndex {
  DieModeInput = 0,
  DieHeadPressureInput,
  DieDiameterInput,
  DieLengthInput,
  DieSlitWidthInput,
  DieSlitGapInput,
  DieConstantInput,
  MeltStartPressureInput,
  BarrelHeatTransferFactorInput,
};

using MeltTexts = std::array<std::string, MeltInputCount>;

struct MeltInputName {
  const char* Name;
  const char* Unit;  // UTF-8
};

// The names the batch tool and the JSON use, in MeltTexts order.
inline constexpr std::array<MeltInputName, MeltInputCount> MeltInputNames = {{
    {"DieMode", "-"},
    {"DieHeadPressure", "MPa"},
    {"DieDiameter", "cm"},
    {"DieLength", "cm"},
    {"DieSlitWidth", "cm"},
    {"DieSlitGap", "cm"},
    {"DieConstant", "cm3"},
    {"MeltStartPressure", "MPa"},
    {"BarrelHeatTransferFactor", "-"},
}};

// The texts DieMode accepts, case-sensitive, in DieMode order.
inline constexpr std::array<const char*, 5> DieModeNames = {"None", "HeadPressure", "Capillary", "Slit",
                                                             "Constant"};

const char* DieModeName(DieMode mode);
std::optional<DieMode> FindDieMode(std::string_view text);

// The initial texts (no die, start pressure 0, barrel heat transfer as
// penetration theory gives it), numbers written with the
// run's decimal separator.
MeltTexts InitialMeltTexts(char decimalSeparator = '.');

struct MeltInputs {
  ::DieMode DieMode = ::DieMode::None;
  double DieHeadPressure = 0;    // MPa
  double DieDiameter = 0.5;      // cm
  double DieLength = 2.0;        // cm
  double DieSlitWidth = 10.0;    // cm
  double DieSlitGap = 0.2;       // cm
  double DieConstant = 0.001;    // cm3
  double MeltStartPressure = 0;  // MPa
  // Scales the barrel's penetration-theory coefficient for the best
  // estimate: 1 is the theory, 0 no exchange.
  double BarrelHeatTransferFactor = 1.0;
};

// Converts the texts the die mode reads, MeltStartPressure and
// BarrelHeatTransferFactor into
// `inputs` and returns the first refusal message in MeltTexts order, or
// nothing when every one is acceptable. Texts the mode does not read must
// still be finite numbers, but their values are not judged and their
// members keep what `inputs` held.
std::optional<std::string> ConvertMeltInputs(const MeltTexts& texts, char decimalSeparator, MeltInputs& inputs);
