// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The member "material" of a run's JSON when the run used a named material:
// its key, name, class, where it comes from, the quality of its values, the
// warnings the barrel temperature gives and the note on its estimates.

#include <string>
#include <vector>

#include "materials/project_file.h"

// `runJson` (the document RunJson builds for `setup`) with "material" put
// after "viscosity_unit", its warnings at setup's barrel temperature; the
// other members keep their bytes. Without setup.Material, `runJson` as it is.
std::string WithMaterialMember(const std::string& runJson, const RunSetup& setup);
