#pragma once
// The melt-conveying stage as the JSON member "melt" of a run: the common
// figures, each bound's summary, the warnings, one object per grid point and,
// when it was searched, the operating point of each bound. Plain numbers in
// the stage's units (MPa, degC, kW, kg/hr, Pa.s, 1/s, cm, cm3/s); a figure
// the stage leaves out is null. docs/run-json.md lists the members.

#include <nlohmann/json.hpp>

#include "melt/melt_operating_point.h"
#include "melt/melt_stage.h"

// `operatingPoints` may be null: the member OperatingPoint is then left out.
nlohmann::ordered_json MeltJson(const MeltStage& stage, const MeltOperatingPoints* operatingPoints);
