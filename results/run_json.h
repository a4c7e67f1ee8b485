#pragma once
// One run as JSON for other programs: the inputs by name with their texts,
// values and units, the viscosity unit, the outcome and its message, and for
// a completed run the summary with its warnings and the melting profile;
// then the melt-conveying stage ("melt", null when it did not run).
// docs/run-json.md describes the fields; docs/run.schema.json is the schema.

#include <cstdint>
#include <string>

#include "app/run_command.h"
#include "materials/project_file.h"
#include "results/melt_run.h"

// `setup`: what the run was given (its texts in setup.DecimalSeparator);
// without setup.MeltStage the inputs are the 28 of the melting run alone,
// with it the stage's follow, and "melt" holds the stage when `melt`
// completed it. With setup.Material the member "material" follows
// "viscosity_unit" (WithMaterialMember). `state` is read only when the
// outcome is Completed. The text ends with a line end.
std::string RunJson(const RunSetup& setup, const RunOutcome& outcome, const ModelState& state,
                    const MeltRunResult* melt = nullptr);
