// SPDX-License-Identifier: GPL-3.0-or-later
#include "melt/die_plausibility.h"

#include <cstdio>

namespace {

std::string Format(const char* format, double first, double second) {
  char text[400];
  std::snprintf(text, sizeof text, format, first, second);
  return text;
}

std::string Number(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

}  // namespace

std::vector<DieImplausibility> DieImplausibilities(const MeltInputs& inputs, double screwDiameter) {
  std::vector<DieImplausibility> found;
  if (inputs.DieMode == DieMode::Capillary && inputs.DieDiameter > screwDiameter) {
    found.push_back({"DieDiameter", inputs.DieDiameter,
                     Format("The capillary (%.3g cm) is wider than the screw (%.3g cm): check the die diameter.",
                            inputs.DieDiameter, screwDiameter)});
  }
  // A gap above the slit's width is refused with the inputs.
  if (inputs.DieMode == DieMode::Slit && inputs.DieSlitGap > screwDiameter) {
    found.push_back({"DieSlitGap", inputs.DieSlitGap,
                     Format("The slit gap (%.3g cm) is wider than the screw (%.3g cm): check the slit gap.",
                            inputs.DieSlitGap, screwDiameter)});
  }
  return found;
}

std::string DieFaultExplanation(const MeltInputs& inputs) {
  std::string read;
  auto add = [&](const char* name, double value, const char* unit) {
    read += (read.empty() ? "" : ", ") + std::string(name) + " " + Number(value) + " " + unit;
  };
  switch (inputs.DieMode) {
    case DieMode::None:
      break;
    case DieMode::HeadPressure:
      add("Die Head Pressure", inputs.DieHeadPressure, "MPa");
      break;
    case DieMode::Capillary:
      add("Die Diameter", inputs.DieDiameter, "cm");
      add("Die Length", inputs.DieLength, "cm");
      break;
    case DieMode::Slit:
      add("Die Slit Width", inputs.DieSlitWidth, "cm");
      add("Die Slit Gap", inputs.DieSlitGap, "cm");
      add("Die Length", inputs.DieLength, "cm");
      break;
    case DieMode::Constant:
      add("Die Constant", inputs.DieConstant, "cm3");
      break;
  }
  add("Melt Start Pressure", inputs.MeltStartPressure, "MPa");
  return "Check the die's inputs: " + read;
}
