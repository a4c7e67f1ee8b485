#pragma once
// One run as JSON for other programs: the inputs by name with their texts,
// values and units, the viscosity unit, the outcome and its message, and for
// a completed run the summary with its warnings and the melting profile.
// docs/run-json.md describes the fields; docs/run.schema.json is the schema.

#include <cstdint>
#include <string>

#include "app/run_command.h"

// texts and unitIndex: what the run was given; `state` is read only when the
// outcome is Completed. The text ends with a line end.
std::string RunJson(const RunTexts& texts, int32_t unitIndex, char decimalSeparator,
                    const RunOutcome& outcome, const ModelState& state);
