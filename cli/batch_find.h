#pragma once
// --find: the search of a limit, then the run at the value found, with the
// report and exports of a single run; with --study, one search per case
// (batch_study).

#include <cstdint>
#include <ostream>

#include "app/run_command.h"
#include "batch_options.h"

// Gives the search of --find the melt-conveying stage's inputs of --set, for
// die-reached; false after telling the user which one is refused.
bool PrepareLimitSearch(BatchOptions& options, char decimalSeparator, std::ostream& err);

int RunFindCommand(const BatchOptions& options, const RunTexts& texts, int32_t unitIndex, char decimalSeparator,
                   std::ostream& out, std::ostream& err);
