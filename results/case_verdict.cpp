// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/case_verdict.h"

#include "melt/melt_warnings.h"

std::size_t StageWarningCount(const RunOutcome* outcome, const MeltStage& stage) {
  if (!outcome) return 0;
  if (outcome->Result != RunResult::Completed) return 1;
  std::size_t count = 0;
  for (const MeltWarning& warning : stage.Warnings) count += !IsMeltNote(warning.Code);
  return count;
}

CaseVerdict JudgeCase(const RunSummary& summary, std::size_t stageWarnings) {
  if (!summary.Melted) return CaseVerdict::SolidLeft;
  if (!summary.Warnings.empty() || stageWarnings > 0) return CaseVerdict::Warnings;
  return CaseVerdict::Clean;
}
