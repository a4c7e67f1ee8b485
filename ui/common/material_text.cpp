// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/common/material_text.h"

#include "materials/material_library.h"
#include "results/number_text.h"

std::string MaterialDisplayName(const Material& material) { return material.Name.empty() ? material.Key : material.Name; }

std::string MaterialChoiceText(const Material& material) {
  std::string text = material.Key;
  if (!material.Name.empty() && material.Name != material.Key) text += "  " + material.Name;
  return text + "  [" + MaterialOriginText(material.Origin) + ", quality " + QualitySummary(material) + "]";
}

std::string MaterialFactsText(const Material& material) {
  const FitWindow& fit = material.Fit;
  std::string text = material.Key + ": typical barrel " + RoundTripText(material.TypicalBarrelTemp) +
                     " \u00B0C; fitted " + RoundTripText(fit.Temperature.Low) + " to " +
                     RoundTripText(fit.Temperature.High) + " \u00B0C, " + RoundTripText(fit.ShearRate.Low) + " to " +
                     RoundTripText(fit.ShearRate.High) + " 1/s; melting point " +
                     RoundTripText(material.Value(MaterialValue::MeltingPoint)) + " \u00B0C";
  if (!material.MeltingPointKind.empty()) text += " (" + material.MeltingPointKind + ")";
  return text;
}

std::string QualityLettersExplained() {
  std::string groups;
  for (const char* group : QualityGroupNames) groups += std::string(groups.empty() ? "" : ", ") + group;
  return "Quality letters, in the order " + groups +
         ":\nA a full table read, B an excerpt, a transcription or a room-temperature proxy, C an estimate, "
         "- the program's own initial value.";
}
