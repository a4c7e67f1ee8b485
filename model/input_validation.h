#pragma once
// The checks of the converted inputs, in canonical order, and the bound of
// the axial grid that must fit its arrays.

#include <optional>
#include <string>

#include "model_state.h"

// The message of the first input that fails its check, or nothing.
std::optional<std::string> FirstInvalidInput(const ModelInputs& inputs);

// A message naming the cause when the grid these inputs give would not fit
// entries 0 to MaxGridPoints - 1, or nothing.
std::optional<std::string> GridBoundProblem(const ModelInputs& inputs);
