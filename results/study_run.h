#pragma once
// Runs the cases of a study on several workers. Each worker owns its
// ModelState; rows reach the writer in case order (a reorder buffer holds
// those that finish early), so the file does not depend on the number of
// workers. Nothing here is shared between runs but the buffer and counters.

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "app/run_command.h"
#include "materials/project_file.h"
#include "results/melt_run.h"
#include "results/run_summary.h"
#include "results/study_plan.h"

// Told about each case as its worker finishes it, before its row is written,
// on that worker's thread: for callers that need more of a case than its row
// (the limit search's condition, the study window's chart). `summary` is
// meaningful only for a completed run; `note` is what the report writers said.
using StudyCaseObserver = std::function<void(uint64_t caseNumber, const RunOutcome& outcome,
                                             const ModelState& state, const RunSummary& summary,
                                             const std::string& note)>;

// With the melt-conveying stage: told each case's stage (or, in its
// outcomes, why it did not run) just before the case's StudyCaseObserver, on
// the same thread.
using MeltCaseObserver = std::function<void(uint64_t caseNumber, const MeltRunResult& melt)>;

struct StudySettings {
  // What every case starts from (StudyCaseSetup), its texts in
  // Base.DecimalSeparator: the texts, the unit, the material they hold (a
  // Material axis's case takes the axis's) and, with Base.MeltStage, the
  // melt-conveying stage on Base.Melt after each completed case, each row
  // then ending with MeltStudyFields.
  RunSetup Base = InitialRunSetup();
  bool OperatingPoint = false;  // with the stage: each case also searches its operating point
  unsigned Workers = 1;
  StudyShard Shard;
  // A folder for one report per case (case-000001.txt ...); none without it.
  std::optional<std::string> ReportsFolder;
  StudyCaseObserver CaseDone;  // may be empty
  MeltCaseObserver MeltDone;   // may be empty; told only with Base.MeltStage
};

struct StudyCounts {
  uint64_t Planned = 0;  // the cases of the shard
  uint64_t Written = 0;  // rows handed to the writer, a prefix in case order
  uint64_t Completed = 0, Rejected = 0, Failed = 0;
  uint64_t ReportsNotWritten = 0;  // completed cases whose report writer complained
  bool Stopped = false;            // `stop` was raised before the last case
  bool WriteFailed = false;        // the writer refused a row
};

// Takes one row in case order; returns false when it could not be written,
// which stops the study. Called by one worker at a time.
using StudyRowWriter = std::function<bool(const std::string& row)>;

// Told every fraction of a second, on the calling thread, how many rows have
// been written of how many planned.
using StudyProgress = std::function<void(uint64_t written, uint64_t planned)>;

// The file name of case `caseNumber`'s report inside `folder`.
std::string CaseReportName(const std::string& folder, uint64_t caseNumber);

// Runs the shard's cases until all are written or `stop` becomes true; the
// rows written then are the shard's first cases, complete.
StudyCounts RunStudy(const StudyPlan& plan, const StudySettings& settings, const StudyRowWriter& write,
                     const std::atomic<bool>& stop, const StudyProgress& progress = {});
