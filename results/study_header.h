#pragma once
// The first line of a study file, as the batch tool and the study window both
// write it: a study's or a search of limits', with the melt-conveying stage's
// columns when its cases run the stage.

#include <cstdint>
#include <optional>
#include <string>

#include "results/limit_find.h"
#include "results/melt_run.h"
#include "results/study_plan.h"

std::string StudyFileHeader(const StudyPlan& plan, const LimitSearch* find, int32_t unitIndex,
                            const std::optional<MeltRequest>& melt);
