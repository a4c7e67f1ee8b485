#pragma once
// A study or a search of limits for the study window, run by results/'s
// engine on a thread of its own so that the window's thread stays free. The
// window takes the finished cases in batches, in case order, whenever it
// redraws; Cancel keeps those already written.

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "results/case_verdict.h"
#include "results/limit_find.h"
#include "results/run_summary.h"
#include "results/study_plan.h"
#include "results/study_run.h"

// The most cases the window keeps. Each kept case holds its row, its summary
// and, with the stage, its figures (about 2 KB): the table, the chart, the
// export and "show in results" need them all. A larger plan stops there, its
// first cases kept as Cancel keeps them, so the window's memory stays below
// about 60 MB whatever the plan; chung-batch --study runs any size.
inline constexpr uint64_t StudyWindowMaxCases = 25000;

struct StudyRequest {
  StudyPlan Plan;
  std::optional<LimitSearch> Find;  // one search per case instead of one run
  // Its Base: the main window's texts, unit, separator and material record
  // when the study started (null for values without a record: a Material
  // axis's case takes the axis's), and the stage.
  StudySettings Settings;
  uint64_t MaxCases = StudyWindowMaxCases;
};

// One finished case as the window shows it.
struct StudyCaseResult {
  uint64_t Number = 0;
  std::string Row;  // its line of the study file, with the line end
  RunResult Result = RunResult::Completed;
  std::string Message;  // why, for a refused or failed run
  RunSummary Summary;   // a completed run's
  std::optional<LimitResult> Limit;
  // With the melt-conveying stage, once it completed: its figures per bound
  // and its warnings (notes left out); else why it did not run, when the
  // melting run completed.
  std::optional<std::array<MeltBoundSummary, MeltBoundCount>> Stage;
  std::vector<std::string> StageWarnings;
  std::string StageMessage;
  std::size_t StageWarningCount = 0;  // as JudgeCase counts them
  CaseVerdict Verdict = CaseVerdict::Clean;  // of a completed run
};

class StudyJob {
 public:
  explicit StudyJob(StudyRequest request);  // starts at once
  ~StudyJob();                              // stops and waits
  StudyJob(const StudyJob&) = delete;
  StudyJob& operator=(const StudyJob&) = delete;

  const StudyRequest& Request() const { return TheRequest; }
  // The study file's first line.
  std::string Header() const;
  uint64_t Planned() const { return PlannedCases; }
  uint64_t Written() const { return WrittenCases.load(); }
  bool Over() const { return Finished.load(); }
  void Cancel() { Stop = true; }
  bool Cancelled() const { return Stop.load(); }
  // The job stopped at Request().MaxCases, before the plan's end.
  bool LimitReached() const { return AtLimit.load(); }
  // The cases written since the last call, in case order.
  std::vector<StudyCaseResult> TakeCases();

 private:
  void Run();
  void RunCases();
  // Keeps a case while fewer than MaxCases are kept; false for one beyond.
  bool Deliver(StudyCaseResult result);

  StudyRequest TheRequest;
  uint64_t PlannedCases = 0;
  std::atomic<uint64_t> WrittenCases{0};
  std::atomic<bool> Stop{false};
  std::atomic<bool> Finished{false};
  std::atomic<bool> AtLimit{false};
  std::mutex Mutex;
  std::unordered_map<uint64_t, StudyCaseResult> Running;  // finished, row not yet written
  std::vector<StudyCaseResult> Ready;
  std::thread Worker;  // last: started once everything above exists
};
