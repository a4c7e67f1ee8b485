#pragma once
// The inputs of a run as a data file that "Read Data File" reads back: 29
// lines `label = value`, with the labels and unit notes of the example files,
// the values as the fields held them and the unit on line 29. The die inputs
// of the melt-conveying stage follow as lines 30 to 37, in the same form,
// when any differs from its initial text: the loader (the window's and the
// batch tool's) reads 29 lines and nothing after them, so it ignores them.

#include <array>
#include <string>

#include "melt/melt_inputs.h"
#include "model/model_state.h"

// `values` in canonical order, already in the file's byte encoding.
// `unitIndex` 0 writes 0 (Pa.s), any other index 1 (gf.s/cm2).
std::string InputDataFileText(const std::array<std::string, InputCount>& values, int unitIndex,
                              const MeltTexts& dieTexts = InitialMeltTexts());
