// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which of the stage's inputs each die mode reads, written out once for the
// stage's conversion and for the boxes the results window enables. The mode
// itself, the start pressure and the barrel heat transfer factor are read in
// every mode.

#include <array>

#include "melt/melt_inputs.h"

struct DieModeInputs {
  DieMode Mode;
  std::array<bool, MeltInputCount> Reads;  // in MeltTexts order
};

//                                     mode  head   diam.  length width  gap    K      start  factor
inline constexpr DieModeInputs DieInputsByMode[] = {
    {DieMode::None,         {true, false, false, false, false, false, false, true, true}},
    {DieMode::HeadPressure, {true, true,  false, false, false, false, false, true, true}},
    {DieMode::Capillary,    {true, false, true,  true,  false, false, false, true, true}},
    {DieMode::Slit,         {true, false, false, true,  true,  true,  false, true, true}},
    {DieMode::Constant,     {true, false, false, false, false, false, true,  true, true}},
};
