#pragma once
// Where each of the 28 input rows stands in the "Input Data" box, in the
// canonical input order (which is also the Tab order).

#include <array>

#include "model/input_fields.h"

struct InputRow {
  const char* Panel;
  const char* Edit;
  int Left;
  int Top;
  int Width;
  int Height;
  const char* Label;  // UTF-8; blanks are part of the layout
  int EditLeft;       // inside the panel
  int EditTop;
};

inline constexpr int EditWidth = 96;
inline constexpr int EditHeight = 20;

extern const std::array<InputRow, InputCount> InputRows;
