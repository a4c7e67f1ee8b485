#pragma once
// How a data file changes the texts and unit of a batch run: the same way
// the window's "Read Data File" changes its fields.

#include <cstdint>

#include "app/run_command.h"
#include "model/data_file.h"

// Sets the unit, then the texts of the inputs that the window lets a data file
// change, each with the run's decimal separator (DataFileNumberText); the
// fixed inputs keep their texts. `values` must be accepted.
void ApplyDataLineValues(const DataLineValues& values, RunTexts& texts, int32_t& unitIndex,
                         char decimalSeparator = '.');
