// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The member "material" of a run's JSON when the run used a named material:
// its key, name, class, where it comes from, the quality of its values, the
// warnings the barrel temperature gives and the note on its estimates.

#include <string>
#include <vector>

#include "materials/material.h"

// `runJson` (RunJson's or LimitRunJson's text) with "material" put after
// "viscosity_unit"; the other members keep their bytes.
std::string WithMaterialMember(const std::string& runJson, const Material& material,
                               const std::vector<std::string>& warnings);
