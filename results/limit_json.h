#pragma once
// A found limit as JSON: the run at the value (the same document as one run's
// JSON) with a member "find" holding the search and its result.

#include <cstdint>
#include <string>

#include "app/run_command.h"
#include "results/limit_find.h"

// texts, unitIndex, outcome, state: the run at result.ShownValue, as for RunJson.
std::string LimitRunJson(const RunTexts& texts, int32_t unitIndex, char decimalSeparator, const RunOutcome& outcome,
                         const ModelState& state, const LimitSearch& search, const LimitResult& result);
