#pragma once
// The columns a study with the melt-conveying stage adds after the melting
// run's: the stage's outcome and message, per temperature bound the tip,
// peak and die pressures, the margin and the tip melt temperature, with the
// operating point search the output found and its status per bound, and the
// stage's warning codes. The same CSV rules as the rest of the row.

#include <string>

#include "results/melt_run.h"

// ",melt outcome,...": to follow the melting run's header, without a line end.
std::string MeltStudyHeader(bool operatingPoint);

// The same columns for one case; empty fields where the stage did not run
// (the melting run did not complete, or the stage refused or failed).
std::string MeltStudyFields(const MeltRunResult& result, bool operatingPoint);
