#pragma once
// What a completed stage run tells the engineer beyond its figures, in a
// fixed order; each warning carries its figures by name and a sentence.

#include "melt/melt_inputs.h"
#include "melt/melt_stage.h"
#include "model/model_state.h"

// Appends the warnings of `stage` (points, summary and common figures
// already stored) to stage.Warnings.
void AddMeltWarnings(const ModelState& state, const MeltInputs& inputs, MeltStage& stage);

// Whether a pressure margin (MPa) reaches the die: at least 0 as every figure
// shows it, to three decimals. A margin of -3.5e-11 MPa at an operating point
// found to 1e-12 of the output reads 0.000 and must not be told "not
// reachable"; -0.0005 reads -0.001 and is.
inline constexpr int MarginDecimals = 3;
bool MarginReachesDie(double margin);
