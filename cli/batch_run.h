#pragma once
// One batch run from the command line to the exit status, kept apart from
// main() so that tests can drive it with their own streams.

#include <ostream>
#include <string>
#include <vector>

#include "app/run_command.h"
#include "materials/project_file.h"
#include "results/limit_find.h"

struct BatchOptions;

// Exit statuses of chung-batch.
inline constexpr int BatchExitCompleted = 0;
inline constexpr int BatchExitRejected = 1;
inline constexpr int BatchExitFailed = 2;
inline constexpr int BatchExitDataFileRefused = 3;
inline constexpr int BatchExitUsage = 64;
inline constexpr int BatchExitWarnings = 4;   // --strict and a run with warnings
inline constexpr int BatchExitStopped = 130;  // a study stopped by Ctrl+C or SIGTERM

// args: the arguments after the program name. Messages for the user go to
// `err`, one line each; the help text and the summary of a written report go
// to `out`. decimalSeparator: the locale's, for reading and writing numbers.
// showProgress: `err` is a terminal, where a study draws its progress line.
int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             char decimalSeparator, bool showProgress = false);

// What a search of a limit hands to the run at its value.
struct FoundLimit {
  const LimitSearch& Search;
  const LimitResult& Result;
};

// One run of `setup` (the data or project file, the material and --set
// applied, its texts in the run's decimal separator, the result file name
// in place) with the report and exports the options ask for; `limit`, when
// given, is the search that chose the run, for its JSON.
int RunSingle(const BatchOptions& options, const RunSetup& setup, std::ostream& out, std::ostream& err,
              const FoundLimit* limit = nullptr);
