// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/common/material_text.h"

#include "materials/material_library.h"
#include "ui/common/shown_numbers.h"

std::string MaterialDisplayName(const Material& material) { return material.Name.empty() ? material.Key : material.Name; }

std::string MaterialChoiceText(const Material& material) {
  std::string text = material.Key;
  if (!material.Name.empty() && material.Name != material.Key) text += "  " + material.Name;
  return text + "  [" + MaterialOriginText(material.Origin) + ", quality " + QualitySummary(material) + "]";
}

QString MaterialFactsText(const Material& material, bool withKind) {
  const FitWindow& fit = material.Fit;
  QString text = QStringLiteral("%1: typical barrel %2 \u00B0C; fitted %3\u2013%4 \u00B0C, %5\u2013%6 1/s; melting point %7 \u00B0C")
                     .arg(QString::fromStdString(material.Key), ShownFullNumber(material.TypicalBarrelTemp),
                          ShownFullNumber(fit.Temperature.Low), ShownFullNumber(fit.Temperature.High),
                          ShownFullNumber(fit.ShearRate.Low), ShownFullNumber(fit.ShearRate.High),
                          ShownFullNumber(material.Value(MaterialValue::MeltingPoint)));
  if (withKind && !material.MeltingPointKind.empty()) text += QStringLiteral(" (%1)").arg(QString::fromStdString(material.MeltingPointKind));
  return text;
}

std::string QualityLettersExplained() {
  std::string groups;
  for (const char* group : QualityGroupNames) groups += std::string(groups.empty() ? "" : ", ") + group;
  return "Quality letters, in the order " + groups +
         ":\nA a full table read, B an excerpt, a transcription or a room-temperature proxy, C an estimate, "
         "- the program's own initial value.";
}
