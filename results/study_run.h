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
#include "materials/material.h"
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
  RunTexts BaseTexts;  // the texts every case starts from
  int32_t UnitIndex = InitialUnitIndex;
  char DecimalSeparator = '.';
  // The material BaseTexts hold (null: their own values); a material axis's
  // case takes the axis's instead.
  std::optional<::Material> Material;
  unsigned Workers = 1;
  StudyShard Shard;
  // A folder for one report per case (case-000001.txt ...); none without it.
  std::optional<std::string> ReportsFolder;
  // The melt-conveying stage after each completed case, with the texts every
  // case starts from; each row then ends with MeltStudyFields.
  std::optional<MeltRequest> Melt;
  StudyCaseObserver CaseDone;  // may be empty
  MeltCaseObserver MeltDone;   // may be empty; told only with Melt
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
