#include "ui/common/input_rows.h"

#include <string_view>

// Panel heights make consecutive rows abut: each row reaches the next one's
// top; the last row of each column is 19 pixels high.
const std::array<InputRow, InputCount> InputRows = {{
    {"Panel1", "Edit1", 10, 20, 309, 18, "  Screw Diameter (cm) :", 211, 0},
    {"Panel2", "Edit2", 10, 38, 309, 19, "  Turns of Feed Zone :  ", 211, 0},
    {"Panel3", "Edit3", 10, 57, 309, 18, "  Turns of Compression Zone :", 211, 0},
    {"Panel4", "Edit4", 10, 75, 309, 19, "  Turns of Metering Zone :", 211, 0},
    {"Panel5", "Edit5", 10, 94, 309, 18, "  Turns of Delay in Melting : ", 211, 0},
    {"Panel6", "Edit6", 10, 112, 309, 18, "  Depth of Feed Zone Channel (cm) :", 211, 0},
    {"Panel7", "Edit7", 10, 130, 309, 19, "  Depth of Meter. Zone Channel (cm) : ", 211, 0},
    {"Panel8", "Edit8", 10, 149, 309, 18, "  Screw Pitch (cm) : ", 211, 1},
    {"Panel9", "Edit9", 10, 167, 309, 19, "  Flight Width (cm) :  ", 211, 0},
    {"Panel10", "Edit10", 10, 186, 309, 18, "  Number of Revolution (rpm) :", 211, 0},
    {"Panel11", "Edit11", 10, 204, 309, 18, "  Output (kg/hr)", 211, 0},
    {"Panel12", "Edit12", 10, 222, 309, 19, "  Barrel Temp. Para. (B0) : ", 211, 0},
    {"Panel13", "Edit13", 10, 241, 309, 18, "  Barrel Temp. Para. (B1) :", 211, 0},
    {"Panel14", "Edit14", 10, 259, 309, 19, "  Barrel Temp. Para. (B2)", 211, 0},
    {"Panel15", "Edit15", 337, 20, 309, 18, "  Viscosity Equation Para. (m0) : ", 211, 0},
    {"Panel16", "Edit16", 337, 38, 309, 18, "  Viscosity Equation Para. (b) : ", 211, 0},
    {"Panel17", "Edit17", 339, 56, 307, 19, "  Viscosity Equation Para. (n) : ", 211, 0},
    {"Panel18", "Edit18", 337, 75, 309, 19, "  Viscosity Equation Para. (T0) : ", 211, 0},
    {"Panel21", "Edit21", 337, 94, 309, 19, "  Density of Solid (g/cm3) :", 211, 0},
    {"Panel22", "Edit22", 337, 113, 309, 18, "  Density of Melt (g/cm3) :", 211, 0},
    {"Panel23", "Edit23", 338, 131, 308, 19, "  Specific Heat of Solid (cal/g.℃) :", 211, 0},
    {"Panel24", "Edit24", 337, 150, 309, 18, "  Heat of Fusion (cal/g) :", 211, -1},
    {"Panel25", "Edit25", 337, 168, 309, 18, "  Specific Heat of Melt (cal/g.℃) :", 211, 0},
    {"Panel26", "Edit26", 337, 186, 309, 19, "  Thermal Cond of Melt (cal/cm.s.℃) :", 211, 0},
    {"Panel27", "Edit27", 337, 205, 309, 18, "  Melting Point (℃) :", 211, 0},
    {"Panel28", "Edit28", 337, 223, 308, 19, "  Solid Temperature at Inlet (℃) :", 211, 0},
    {"Panel19", "Edit19", 337, 242, 308, 19, "  Solid Bed Comp. Factor at Inlet (-) :", 211, 0},
    {"Panel20", "Edit20", 337, 261, 308, 19, "  Solid Width Ratio at Start (-) :", 211, 0},
}};

namespace {
constexpr bool RowsMatchInputFields() {
  constexpr std::array<const char*, InputCount> edits = {
      "Edit1",  "Edit2",  "Edit3",  "Edit4",  "Edit5",  "Edit6",  "Edit7",  "Edit8",  "Edit9",  "Edit10",
      "Edit11", "Edit12", "Edit13", "Edit14", "Edit15", "Edit16", "Edit17", "Edit18", "Edit21", "Edit22",
      "Edit23", "Edit24", "Edit25", "Edit26", "Edit27", "Edit28", "Edit19", "Edit20"};
  for (int i = 0; i < InputCount; ++i)
    if (std::string_view(edits[static_cast<size_t>(i)]) != std::string_view(InputFields[static_cast<size_t>(i)].WindowField))
      return false;
  return true;
}
// The rows are listed in the same order as the model's field table.
static_assert(RowsMatchInputFields(), "input rows out of step with InputFields");
}  // namespace
