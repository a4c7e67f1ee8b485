#pragma once
// Which field a refused run is about, so the window can put the cursor there.

#include "app/run_command.h"

inline constexpr int ResultFileNameIndex = InputCount;  // Edit29, after the 28 numbers

// The index in `texts` (canonical order, ResultFileNameIndex for the file
// name) of the field that made the run command refuse these texts, or -1 when
// it would not refuse them:
// - the first text that does not convert;
// - else the first value that fails its own check, or the empty file name;
// - else, when the grid would not fit: the turns of delay when melting would
//   start behind the feed zone, otherwise the turns of the zone that needs
//   the most grid points.
int RefusedFieldIndex(const RunTexts& texts, char decimalSeparator);
