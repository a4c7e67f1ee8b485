// SPDX-License-Identifier: GPL-3.0-or-later
#include "materials/material_inputs.h"

#include <charconv>
#include <cmath>

#include "materials/json_fields.h"
#include "model/number_conversion.h"

namespace {

std::string Celsius(double value) { return NumberText(value) + " \u00B0C"; }

}  // namespace

double MaterialM0(const Material& material, int32_t unitIndex) {
  const double m0 = material.Value(MaterialValue::ViscM0);
  const bool runInPascal = unitIndex == 0;
  if (runInPascal == (material.M0Unit == ViscosityUnit::PaS)) return m0;
  const long double converted = runInPascal ? m0 * PascalPerGramForcePerCm2 : m0 / PascalPerGramForcePerCm2;
  return static_cast<double>(converted);
}

std::array<std::string, MaterialValueCount> MaterialInputTexts(const Material& material, int32_t unitIndex,
                                                               char decimalSeparator) {
  std::array<std::string, MaterialValueCount> texts;
  for (int k = 0; k < MaterialValueCount; ++k) {
    const double value = k == static_cast<int>(MaterialValue::ViscM0) ? MaterialM0(material, unitIndex)
                                                                       : material.Values[k];
    texts[k] = NumberText(value);
    for (char& c : texts[k]) {
      if (c == '.') c = decimalSeparator;
    }
  }
  return texts;
}

void ApplyMaterial(const Material& material, RunTexts& texts, int32_t unitIndex, char decimalSeparator) {
  const auto values = MaterialInputTexts(material, unitIndex, decimalSeparator);
  for (int k = 0; k < MaterialValueCount; ++k) texts[FirstMaterialInput + k] = values[k];
}

std::vector<std::string> MaterialWarnings(const Material& material, double barrel) {
  std::vector<std::string> warnings;
  const ValueRange& window = material.Fit.Temperature;
  if (barrel < window.Low || barrel > window.High) {
    warnings.push_back("The barrel temperature (" + Celsius(barrel) + ") lies outside " + material.Key +
                       "'s viscosity fit window (" + NumberText(window.Low) + " to " + Celsius(window.High) +
                       "): its viscosity law is extrapolated there.");
  }
  const double meltingPoint = material.Value(MaterialValue::MeltingPoint);
  if (!(barrel > meltingPoint)) {
    warnings.push_back("The barrel temperature (" + Celsius(barrel) + ") is not above " + material.Key +
                       "'s melting point (" + Celsius(meltingPoint) + ", " + material.MeltingPointKind +
                       "): the barrel can not melt it. Its typical barrel temperature is " +
                       Celsius(material.TypicalBarrelTemp) + ".");
  }
  return warnings;
}

std::vector<std::string> MaterialWarnings(const Material& material, const RunTexts& texts, char decimalSeparator) {
  constexpr int BarrelB0Input = 11;
  const std::optional<double> barrel = ConvertNumber(texts[BarrelB0Input], decimalSeparator);
  return barrel ? MaterialWarnings(material, *barrel) : std::vector<std::string>{};
}

std::string MaterialEstimateNote(const Material& material) {
  const std::string estimated = EstimatedValues(material);
  if (estimated.empty()) return {};
  return material.Key + " carries estimates (quality C): " + estimated + ".";
}

MaterialRemarks MaterialRemarksOf(const Material& material, const RunTexts& texts, char decimalSeparator) {
  return {MaterialWarnings(material, texts, decimalSeparator), MaterialEstimateNote(material)};
}
