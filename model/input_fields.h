#pragma once
// The 28 inputs as the window and the data file know them, in canonical order.

#include <array>

#include "model_state.h"

struct InputField {
  const char* WindowField;  // the edit control that carries the value
  const char* InitialText;  // what the window shows at start
  bool Fixed;               // shown disabled: every run uses the initial text
};

inline constexpr std::array<InputField, InputCount> InputFields = {{
    {"Edit1", "15.0", false},   {"Edit2", "10.0", false},  {"Edit3", "6.0", false},
    {"Edit4", "8.7", false},    {"Edit5", "5.0", false},   {"Edit6", "1.4", false},
    {"Edit7", "0.4", false},    {"Edit8", "15.0", false},  {"Edit9", "1.5", false},
    {"Edit10", "38.0", false},  {"Edit11", "300.0", false}, {"Edit12", "290.0", false},
    {"Edit13", "0.0", false},   {"Edit14", "0.0", false},  {"Edit15", "2.052", true},
    {"Edit16", "0.036", true},  {"Edit17", "0.835", true}, {"Edit18", "290.0", true},
    {"Edit21", "1.34", true},   {"Edit22", "1.2", true},   {"Edit23", "0.4", true},
    {"Edit24", "17.7", true},   {"Edit25", "0.48", true},  {"Edit26", "0.00052", true},
    {"Edit27", "265.0", true},  {"Edit28", "30.0", false}, {"Edit19", "0.6", false},
    {"Edit20", "1.0", false},
}};

inline constexpr int RunTextCount = InputCount + 1;  // the 28 numbers and the result file name
inline constexpr const char* InitialResultFileName = "result.txt";
inline constexpr int InitialUnitIndex = 1;  // "gf.s/cm2"
