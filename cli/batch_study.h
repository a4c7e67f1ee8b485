#pragma once
// The study and merge commands of chung-batch: files and messages around
// the study code of results/.

#include <cstdint>
#include <optional>
#include <ostream>

#include "app/run_command.h"
#include "batch_options.h"
#include "results/melt_run.h"

// The workers a study or a search runs on: -j, or one per core.
unsigned BatchWorkers(const BatchOptions& options);

// texts and unitIndex: the data file and --set applied; with --find, one
// search of a limit per case; melt: the melt-conveying stage's texts when
// the stage is on. showProgress: stderr
// is a terminal, so a progress line is drawn on `err`.
int RunStudyCommand(const BatchOptions& options, const RunTexts& texts, const std::optional<MeltRequest>& melt,
                    int32_t unitIndex, char decimalSeparator, bool showProgress, std::ostream& out,
                    std::ostream& err);

int RunMergeCommand(const BatchOptions& options, std::ostream& out, std::ostream& err);
