#pragma once
// The study and merge commands of chung-batch: files and messages around
// the study code of results/.

#include <cstdint>
#include <optional>
#include <ostream>

#include "batch_options.h"
#include "materials/project_file.h"

// The workers a study or a search runs on: -j, or one per core.
unsigned BatchWorkers(const BatchOptions& options);

// `setup`: what every case starts from, as for RunSingle (with
// setup.MeltStage each case runs the stage on setup.Melt); with --find, one
// search of a limit per case. showProgress: stderr is a terminal, so a
// progress line is drawn on `err`.
int RunStudyCommand(const BatchOptions& options, const RunSetup& setup, bool showProgress, std::ostream& out,
                    std::ostream& err);

int RunMergeCommand(const BatchOptions& options, std::ostream& out, std::ostream& err);
