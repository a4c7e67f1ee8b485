#pragma once
// What a completed stage run tells the engineer beyond its figures, in a
// fixed order; each warning carries its figures by name and a sentence.

#include "melt/melt_inputs.h"
#include "melt/melt_stage.h"
#include "model/model_state.h"

// Appends the warnings of `stage` (points, summary and common figures
// already stored) to stage.Warnings.
void AddMeltWarnings(const ModelState& state, const MeltInputs& inputs, MeltStage& stage);
