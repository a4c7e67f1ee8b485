#include "ui/study_window/study_job.h"

#include <utility>

#include "results/limit_study.h"
#include "results/study_header.h"
#include "results/study_rows.h"

StudyJob::StudyJob(StudyRequest request)
    : TheRequest(std::move(request)),
      PlannedCases(ShardCaseCount(StudyCaseCount(TheRequest.Plan), TheRequest.Settings.Shard)),
      Worker([this] { Run(); }) {}

StudyJob::~StudyJob() {
  Stop = true;
  Worker.join();
}

std::string StudyJob::Header() const {
  return StudyFileHeader(TheRequest.Plan, TheRequest.Find ? &*TheRequest.Find : nullptr, TheRequest.Settings);
}

std::vector<StudyCaseResult> StudyJob::TakeCases() {
  std::lock_guard lock(Mutex);
  return std::exchange(Ready, {});
}

bool StudyJob::Deliver(StudyCaseResult result) {
  if (WrittenCases.load() >= TheRequest.MaxCases) return false;
  {
    std::lock_guard lock(Mutex);
    Ready.push_back(std::move(result));
  }
  // The last case kept stops the workers; rows already running are dropped.
  if (++WrittenCases == TheRequest.MaxCases && WrittenCases.load() < PlannedCases) {
    AtLimit = true;
    Stop = true;
  }
  return true;
}

void StudyJob::Run() {
  // No exception leaves the job's thread: one (no memory left) ends the job
  // with the cases kept so far, as Cancel does.
  try {
    RunCases();
  } catch (...) {
    Stop = true;
  }
  Finished = true;
}

void StudyJob::RunCases() {
  const StudyPlan& plan = TheRequest.Plan;
  StudySettings settings = TheRequest.Settings;
  if (TheRequest.Find) {
    // The row is written just before its search is told; both on this thread.
    std::string row;
    RunLimitStudy(
        plan, *TheRequest.Find, settings,
        [&](const std::string& line) {
          row = line;
          return true;
        },
        Stop, {},
        [&](uint64_t caseNumber, const LimitResult& limit) {
          StudyCaseResult result;
          result.Number = caseNumber;
          result.Row = row;
          result.Limit = limit;
          if (!limit.Value) result.Message = LimitResultLine(*TheRequest.Find, limit, settings.Base.UnitIndex);
          Deliver(std::move(result));
        });
  } else {
    // Cases finish on the workers in any order; their rows come in case order.
    // A case's stage is told first, on the same worker.
    settings.MeltDone = [&](uint64_t caseNumber, const MeltRunResult& melt) {
      StudyCaseResult result;
      result.StageWarningCount = StageWarningCount(melt.Outcomes.Melt ? &*melt.Outcomes.Melt : nullptr, melt.Stage);
      if (melt.StageCompleted()) {
        result.Stage = melt.Stage.Summary;
        for (const MeltWarning& warning : melt.Stage.Warnings) {
          if (!IsMeltNote(warning.Code)) result.StageWarnings.push_back(warning.Text);
        }
      } else if (melt.Outcomes.Melt) {
        result.StageMessage = OutcomeMessage(*melt.Outcomes.Melt);
      }
      std::lock_guard lock(Mutex);
      Running[caseNumber] = std::move(result);
    };
    settings.CaseDone = [&](uint64_t caseNumber, const RunOutcome& outcome, const ModelState&,
                            const RunSummary& summary, const std::string&) {
      std::lock_guard lock(Mutex);
      StudyCaseResult& result = Running[caseNumber];
      result.Number = caseNumber;
      result.Result = outcome.Result;
      if (outcome.Result == RunResult::Completed) {
        result.Summary = summary;
        result.Verdict = JudgeCase(summary, result.StageWarningCount);
      } else {
        result.Message = OutcomeMessage(outcome);
      }
    };
    uint64_t j = 0;
    RunStudy(plan, settings, [&](const std::string& line) {
      const uint64_t caseNumber = ShardCaseNumber(settings.Shard, j++);
      StudyCaseResult result;
      result.Number = caseNumber;
      {
        std::lock_guard lock(Mutex);
        // Every case is told before its row is written; a row without it
        // still counts, with no figures.
        if (const auto found = Running.find(caseNumber); found != Running.end()) {
          result = std::move(found->second);
          Running.erase(found);
        }
      }
      result.Row = line;
      Deliver(std::move(result));
      return true;
    }, Stop);
  }
}
