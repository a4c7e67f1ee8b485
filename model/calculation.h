#pragma once
// The calculation driver: every stage in order over the one model record.

#include "model_state.h"

// Throws FloatFault (or another std::exception) when the calculation fails;
// the values stored before the failure stay in the state.
void RunCalculation(ModelState& state);
