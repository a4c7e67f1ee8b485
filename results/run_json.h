#pragma once
// One run as JSON for other programs: the inputs by name with their texts,
// values and units, the viscosity unit, the outcome and its message, and for
// a completed run the summary with its warnings and the melting profile;
// then the melt-conveying stage ("melt", null when it did not run).
// docs/run-json.md describes the fields; docs/run.schema.json is the schema.

#include <cstdint>
#include <string>

#include "app/run_command.h"
#include "melt/melt_operating_point.h"

// What the melt-conveying stage adds to a run that asked for it.
struct MeltRunJson {
  MeltTexts Texts;                                      // its inputs, as given
  const MeltStage* Stage = nullptr;                     // null: the stage did not run
  const MeltOperatingPoints* OperatingPoints = nullptr; // null: not searched
};

// texts and unitIndex: what the run was given; `state` is read only when the
// outcome is Completed. `melt` null: the stage was not asked for, so the
// inputs are the 28 of the melting run alone. The text ends with a line end.
std::string RunJson(const RunTexts& texts, int32_t unitIndex, char decimalSeparator,
                    const RunOutcome& outcome, const ModelState& state, const MeltRunJson* melt = nullptr);
