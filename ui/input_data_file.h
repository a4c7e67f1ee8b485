#pragma once
// The inputs of a run as a data file that "Read Data File" reads back: 29
// lines `label = value`, with the labels and unit notes of the example files,
// the values as the fields held them and the unit on line 29.

#include <array>
#include <string>

#include "model/model_state.h"

// `values` in canonical order, already in the file's byte encoding.
// `unitIndex` 0 writes 0 (Pa.s), any other index 1 (gf.s/cm2).
std::string InputDataFileText(const std::array<std::string, InputCount>& values, int unitIndex);
