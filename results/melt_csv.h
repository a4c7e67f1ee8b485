#pragma once
// The melt-conveying stage's rows as CSV, with the rules of the profile CSV:
// UTF-8, a header line with names and units, one line per grid point from
// point 0 to the screw tip, the values of both temperature bounds and the best estimate side by
// side, numbers in the shortest text that reads back to the same double,
// LF line ends. A value the stage leaves out at a point (the flow figures of
// an inactive point) is an empty field.

#include <string>

#include "melt/melt_stage.h"

std::string MeltCsv(const MeltStage& stage);
