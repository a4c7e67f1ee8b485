#pragma once
// What chung-batch says about the melt-conveying stage of a single run after
// the run: its warnings, notes, refusal or fault and the figures an engineer
// looks at first.

#include <ostream>

#include "batch_options.h"
#include "results/melt_run.h"

struct MeltStageReport {
  int Status = 0;        // 0, or the exit status of a stage refusal (1) or fault (2)
  int WarningCount = 0;  // warnings that count for --strict (notes do not)
};

// After a completed melting run: the stage's message when it did not
// complete; else its warnings ("warning: ...") and notes ("note: ...") on
// `err`, an operating point that was not found as a warning, and one line of
// figures on `out`.
MeltStageReport ReportMeltStage(const MeltRunResult& result, std::ostream& out, std::ostream& err);
