#pragma once
// The inputs by their model names, with units, for what the batch tool
// reads from its command line and writes for other programs (JSON, studies):
// the 28 of the melting model (indices 0..27, the order of RunTexts), then
// the 8 of the melt-conveying stage (28..35, the order of MeltTexts).

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "melt/melt_inputs.h"
#include "model/model_state.h"

struct InputName {
  const char* Name;  // the ModelInputs member
  const char* Unit;  // UTF-8; ViscM0 takes the run's viscosity unit instead
};

inline constexpr int NamedInputCount = InputCount + MeltInputCount;

// The melting model's names, then the stage's own (MeltInputNames).
inline constexpr std::array<InputName, NamedInputCount> InputNames = [] {
  constexpr std::array<InputName, InputCount> model = {{
      {"ScrewDiameter", "cm"},
      {"FeedTurns", "turns"},
      {"CompressionTurns", "turns"},
      {"MeteringTurns", "turns"},
      {"DelayTurns", "turns"},
      {"FeedDepth", "cm"},
      {"MeteringDepth", "cm"},
      {"ScrewPitch", "cm"},
      {"FlightWidth", "cm"},
      {"ScrewSpeed", "rpm"},
      {"OutputRate", "kg/hr"},
      {"BarrelB0", "\u00B0C"},
      {"BarrelB1", "-"},
      {"BarrelB2", "1/cm"},
      {"ViscM0", "viscosity unit"},
      {"ViscB", "1/\u00B0C"},
      {"ViscN", "-"},
      {"ViscT0", "\u00B0C"},
      {"SolidDensity", "g/cm3"},
      {"MeltDensity", "g/cm3"},
      {"SolidSpecificHeat", "cal/g.\u00B0C"},
      {"HeatOfFusion", "cal/g"},
      {"MeltSpecificHeat", "cal/g.\u00B0C"},
      {"MeltConductivity", "cal/cm.s.\u00B0C"},
      {"MeltingPoint", "\u00B0C"},
      {"SolidInletTemp", "\u00B0C"},
      {"InletCompaction", "-"},
      {"StartWidthRatio", "-"},
  }};
  std::array<InputName, NamedInputCount> names{};
  for (int k = 0; k < InputCount; ++k) names[k] = model[k];
  for (int k = 0; k < MeltInputCount; ++k) names[InputCount + k] = {MeltInputNames[k].Name, MeltInputNames[k].Unit};
  return names;
}();

// Whether named input `index` belongs to the melt-conveying stage; its
// place in MeltTexts is then index - InputCount.
constexpr bool IsMeltInput(int index) { return index >= InputCount && index < NamedInputCount; }

// DieMode takes a word, every other input a number.
constexpr bool IsWordInput(int index) { return index == InputCount + DieModeInput; }

// The index of the input called `name` in canonical order; case matters.
std::optional<int> FindInputByName(std::string_view name);

// "ScrewDiameter, FeedTurns, ..., MeltStartPressure": for messages.
std::string InputNameList();

// The unit of input `index`; for ViscM0 the name of the unit index's
// viscosity unit (0 "Pa.s", any other "gf.s/cm2").
std::string InputUnit(int index, int32_t unitIndex);

// "Pa.s" or "gf.s/cm2", as the report's unit note names them.
std::string ViscosityUnitName(int32_t unitIndex);

// The stage's own word for a die mode: None, HeadPressure, Capillary, Slit
// and Constant stand for themselves, and the batch tool's short words none,
// pressure, capillary, slit and constant for them; any other text is kept as
// it is, for the stage to refuse.
std::string DieModeText(std::string_view text);
