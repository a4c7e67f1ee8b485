#pragma once
// The texts and unit a batch run starts from, and how a data file changes
// them: the same way the window's "Read Data File" changes its fields.

#include <cstdint>

#include "app/run_command.h"
#include "model/data_file.h"

// The window's initial texts, with the initial result file name last.
RunTexts InitialRunTexts();

// Sets the unit, then the texts of the inputs that the window lets a data file
// change; the fixed inputs keep their texts. `values` must be accepted.
void ApplyDataLineValues(const DataLineValues& values, RunTexts& texts, int32_t& unitIndex);
