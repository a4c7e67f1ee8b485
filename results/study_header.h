#pragma once
// The first line of a study file, as the batch tool and the study window both
// write it: a study's or a search of limits', with the melt-conveying stage's
// columns when its cases run the stage.

#include <string>

#include "results/limit_find.h"
#include "results/study_plan.h"
#include "results/study_run.h"

// `settings`: the study's (its unit; the stage's columns with
// Base.MeltStage).
std::string StudyFileHeader(const StudyPlan& plan, const LimitSearch* find, const StudySettings& settings);
