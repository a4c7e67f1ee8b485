#pragma once
// A found limit as JSON: the run at the value (the same document as one run's
// JSON) with a member "find" holding the search and its result.

#include <cstdint>
#include <string>

#include "app/run_command.h"
#include "materials/project_file.h"
#include "results/limit_find.h"

// setup, outcome, state: the run at result.ShownValue, as for RunJson.
std::string LimitRunJson(const RunSetup& setup, const RunOutcome& outcome, const ModelState& state,
                         const LimitSearch& search, const LimitResult& result);
