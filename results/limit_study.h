#pragma once
// One limit per case of a study: for each combination of the varied inputs,
// the limit search over another input, and the run at the limit. The file is
// a study file whose columns after the varied inputs are the limit's (value,
// status, runs, where the condition holds), then the usual study columns of
// the run at the limit (or, where the condition holds nowhere, of the run at
// the end searched towards).

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "results/limit_find.h"
#include "results/study_plan.h"
#include "results/study_run.h"

struct LimitStudyCounts {
  uint64_t Planned = 0;  // the cases of the shard
  uint64_t Written = 0;  // a prefix in case order
  uint64_t Found = 0, HoldsNowhere = 0, HoldsEverywhere = 0, SeveralChanges = 0;
  bool Stopped = false;
  bool WriteFailed = false;
};

// Told about each case's search once its row is written, on the calling thread.
using LimitCaseObserver = std::function<void(uint64_t caseNumber, const LimitResult& result)>;

std::string LimitStudyHeader(const StudyPlan& plan, const LimitSearch& search, int32_t unitIndex);
std::string LimitStudyRow(const StudyPlan& plan, uint64_t caseNumber, const LimitResult& result);

// The cases run one after the other, each search's scan on settings.Workers.
LimitStudyCounts RunLimitStudy(const StudyPlan& plan, const LimitSearch& search, const StudySettings& settings,
                               const StudyRowWriter& write, const std::atomic<bool>& stop,
                               const StudyProgress& progress = {}, const LimitCaseObserver& observe = {});
