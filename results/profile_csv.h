#pragma once
// The melting profile of a completed run as CSV: UTF-8, comma-separated, a
// header line with names and units, one line per report row, each value in
// the shortest text that reads back to the same double, LF line ends.

#include <string>

#include "model/model_state.h"

std::string ProfileCsv(const ModelState& state);
