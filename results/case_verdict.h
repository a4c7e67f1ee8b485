// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How a completed case reads at a glance, the one rule behind the study
// window's marks and the limit search's "clean": solid left at the screw end
// first (it says more than any warning), then warnings of the melting run or,
// when it ran, the melt-conveying stage (notes do not count), else clean.

#include <cstddef>

#include "melt/melt_stage.h"
#include "results/run_summary.h"

enum class CaseVerdict { Clean, Warnings, SolidLeft };

// The stage's warnings that count against a case, notes aside; a stage that
// was asked for and refused or failed counts as one. `outcome`: the stage's,
// null when it was not asked for.
std::size_t StageWarningCount(const RunOutcome* outcome, const MeltStage& stage);

// `summary`: a completed melting run's.
CaseVerdict JudgeCase(const RunSummary& summary, std::size_t stageWarnings);
