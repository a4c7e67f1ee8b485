#include "ui/common/input_data_file.h"

#include <algorithm>

namespace {

struct DataLine {
  const char* Label;
  const char* Note;  // after the value; the loader ignores what follows a blank
};

// The labels and notes of examples/default.txt, in line order.
constexpr std::array<DataLine, InputCount + 1> DataLines = {{
    {"Screw Diameter", "cm"},
    {"Turns of Feed Zone", "turns"},
    {"Turns of Compression Zone", "turns"},
    {"Turns of Metering Zone", "turns"},
    {"Turns of Delay in Melting", "turns"},
    {"Depth of Feed Zone Channel", "cm"},
    {"Depth of Metering Zone Channel", "cm"},
    {"Screw Pitch", "cm"},
    {"Flight Width", "cm"},
    {"Number of Revolution", "rpm"},
    {"Output", "kg/hr"},
    {"Barrel Temp. Para. (B0)", "deg C"},
    {"Barrel Temp. Para. (B1)", "-"},
    {"Barrel Temp. Para. (B2)", "1/cm"},
    {"Viscosity Equation Para. (m0)", "viscosity unit (fixed, not loaded)"},
    {"Viscosity Equation Para. (b)", "1/deg C (fixed, not loaded)"},
    {"Viscosity Equation Para. (n)", "- (fixed, not loaded)"},
    {"Viscosity Equation Para. (T0)", "deg C (fixed, not loaded)"},
    {"Density of Solid", "g/cm3 (fixed, not loaded)"},
    {"Density of Melt", "g/cm3 (fixed, not loaded)"},
    {"Specific Heat of Solid", "cal/g.deg C (fixed, not loaded)"},
    {"Heat of Fusion", "cal/g (fixed, not loaded)"},
    {"Specific Heat of Melt", "cal/g.deg C (fixed, not loaded)"},
    {"Thermal Cond. of Melt", "cal/cm.s.deg C (fixed, not loaded)"},
    {"Melting Point", "deg C (fixed, not loaded)"},
    {"Solid Temperature at Inlet", "deg C"},
    {"Solid Bed Comp. Factor at Inlet", "- (0 to 1)"},
    {"Solid Width Ratio at Start", "- (0 to 1)"},
    {"Viscosity Unit", "0 = Pa.s, 1 = gf.s/cm2"},
}};

// Lines 30 to 38, in MeltTexts order.
constexpr std::array<DataLine, MeltInputCount> DieLines = {{
    {"Die Mode", "None, HeadPressure, Capillary, Slit or Constant (not loaded)"},
    {"Die Head Pressure", "MPa (not loaded)"},
    {"Die Diameter", "cm (not loaded)"},
    {"Die Length", "cm (not loaded)"},
    {"Die Slit Width", "cm (not loaded)"},
    {"Die Slit Gap", "cm (not loaded)"},
    {"Die Constant", "cm3 (not loaded)"},
    {"Melt Start Pressure", "MPa (not loaded)"},
    {"Barrel Heat Transfer Factor", "- (not loaded)"},
}};

constexpr size_t LabelWidth = 32;
constexpr size_t ValueWidth = 10;

std::string Line(const DataLine& line, const std::string& value) {
  std::string text = line.Label;
  text.append(LabelWidth - std::min(LabelWidth, text.size()), ' ');
  text += "= " + value;
  // At least one blank ends the value before the note.
  text.append(value.size() < ValueWidth ? ValueWidth - value.size() : 1, ' ');
  text += line.Note;
  text += "\r\n";
  return text;
}

}  // namespace

std::string InputDataFileText(const std::array<std::string, InputCount>& values, int unitIndex,
                              const MeltTexts& dieTexts) {
  std::string text;
  for (int i = 0; i < InputCount; ++i) text += Line(DataLines[static_cast<size_t>(i)], values[static_cast<size_t>(i)]);
  text += Line(DataLines[InputCount], unitIndex == 0 ? "0" : "1");
  // A file of a run without a die keeps its 29 lines, as before the stage.
  if (dieTexts == InitialMeltTexts('.') || dieTexts == InitialMeltTexts(',')) return text;
  for (size_t k = 0; k < DieLines.size(); ++k) text += Line(DieLines[k], dieTexts[k]);
  return text;
}
