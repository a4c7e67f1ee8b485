#pragma once
// --find: the search of a limit, then the run at the value found, with the
// report and exports of a single run; with --study, one search per case.

#include <cstdint>
#include <ostream>

#include "materials/project_file.h"
#include "batch_options.h"

// `setup`: the run's, as for RunSingle; its stage's texts are the die the
// search judges by.
int RunFindCommand(const BatchOptions& options, const RunSetup& setup, bool showProgress, std::ostream& out,
                   std::ostream& err);
