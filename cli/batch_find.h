#pragma once
// --find: the search of a limit, then the run at the value found, with the
// report and exports of a single run; with --study, one search per case.

#include <cstdint>
#include <ostream>

#include "app/run_command.h"
#include "batch_options.h"

int RunFindCommand(const BatchOptions& options, const RunTexts& texts, int32_t unitIndex, char decimalSeparator,
                   bool showProgress, std::ostream& out, std::ostream& err);
