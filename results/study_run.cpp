#include "results/study_run.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "materials/material_inputs.h"
#include "results/melt_study_columns.h"
#include "report/result_file.h"
#include "results/run_summary.h"
#include "results/study_rows.h"

namespace {

constexpr auto ProgressInterval = std::chrono::milliseconds(200);

// What the report writers of one case told the user, for its row.
class CaseMessages : public UserMessages {
 public:
  void ShowMessage(const std::string& text) override {
    if (!Text.empty()) Text += ' ';
    Text += text;
  }
  void ShowReason(const std::string& text) override { Text += " (" + text + ")"; }
  std::string Text;
};

struct FinishedCase {
  std::string Row;
  RunResult Result = RunResult::Completed;
  bool ReportNotWritten = false;
};

FinishedCase RunCase(const StudyPlan& plan, const StudySettings& settings, uint64_t caseNumber,
                     ModelState& state) {
  RunSetup run = StudyCaseSetup(plan, caseNumber, settings.Base);
  if (settings.ReportsFolder) run.Texts[InputCount] = CaseReportName(*settings.ReportsFolder, caseNumber);
  CaseMessages messages;
  // The workers already use every core: each case searches its bounds in turn.
  OperatingPointSettings search;
  search.Parallel = false;
  const MeltRunResult melt = RunWithMelt(state, run, messages, ReportWriting::Skip, settings.OperatingPoint, search);
  const RunOutcome& outcome = melt.Outcomes.Run;
  RunSummary summary;
  if (outcome.Result == RunResult::Completed) {
    summary = SummarizeRun(state);
    // A single run of the case prints its material's warnings after the
    // summary's, as warnings: they count alike (rows, marks, clean, --strict).
    if (run.Material) {
      for (std::string& warning : MaterialWarnings(*run.Material, run.Texts, run.DecimalSeparator)) {
        summary.Warnings.push_back(std::move(warning));
      }
    }
    // The report is written after the run, not by it: a report that can not
    // be written (a full disk, a size limit) leaves the computed case
    // completed, its figures in the row and the reason as its message.
    if (settings.ReportsFolder) {
      try {
        WriteReport(state, messages, run.DecimalSeparator);
      } catch (const std::exception& error) {
        messages.ShowMessage(error.what());
      }
    }
  }
  if (run.MeltStage && settings.MeltDone) settings.MeltDone(caseNumber, melt);
  if (settings.CaseDone) settings.CaseDone(caseNumber, outcome, state, summary, messages.Text);
  std::string row = StudyRow(plan, caseNumber, outcome, summary, messages.Text);
  if (run.MeltStage) {
    row.pop_back();  // the line end, after the stage's columns
    row += MeltStudyFields(melt, settings.OperatingPoint) + '\n';
  }
  return {std::move(row), outcome.Result, !messages.Text.empty()};
}

// A case that ended in an exception instead of an outcome (no run should,
// but a study must go on): a failed case with the exception's text, told to
// the observers like any other so that none waits for it.
FinishedCase FailedCase(const StudyPlan& plan, const StudySettings& settings, uint64_t caseNumber,
                        const ModelState& state, const std::string& error) {
  const RunOutcome outcome{RunResult::Failed, error, {}};
  const RunSummary summary;
  std::optional<MeltRunResult> melt;
  if (settings.Base.MeltStage) {
    melt.emplace();
    melt->Outcomes.Run = outcome;
  }
  try {
    if (melt && settings.MeltDone) settings.MeltDone(caseNumber, *melt);
    if (settings.CaseDone) settings.CaseDone(caseNumber, outcome, state, summary, {});
  } catch (...) {
    // An observer that fails here has nothing more to learn of this case.
  }
  std::string row = StudyRow(plan, caseNumber, outcome, summary, {});
  if (melt) {
    row.pop_back();
    row += MeltStudyFields(*melt, settings.OperatingPoint) + '\n';
  }
  return {std::move(row), RunResult::Failed, false};
}

// No exception leaves a worker: the case becomes a failed one.
FinishedCase RunCaseCaught(const StudyPlan& plan, const StudySettings& settings, uint64_t caseNumber,
                           ModelState& state) {
  try {
    return RunCase(plan, settings, caseNumber, state);
  } catch (const std::exception& error) {
    return FailedCase(plan, settings, caseNumber, state, error.what());
  } catch (...) {
    return FailedCase(plan, settings, caseNumber, state, "unexpected error");
  }
}

// The rows between the workers and the writer: kept until every earlier
// case has been written, then written in case order.
class ReorderBuffer {
 public:
  ReorderBuffer(const StudyRowWriter& write, StudyCounts& counts) : write_(write), counts_(counts) {}

  // `j`: the case's place in the shard, from 0.
  void Add(uint64_t j, FinishedCase finished) {
    std::lock_guard lock(mutex_);
    if (counts_.WriteFailed) return;
    waiting_.emplace(j, std::move(finished));
    for (auto first = waiting_.begin(); first != waiting_.end() && first->first == counts_.Written;
         first = waiting_.erase(first)) {
      if (!write_(first->second.Row)) {
        counts_.WriteFailed = true;
        WriteFailed = true;
        return;
      }
      Tally(first->second);
    }
  }

  // A row that could not even be handed over (no memory left) ends the
  // study as a writer that refuses it does.
  void Fail() {
    std::lock_guard lock(mutex_);
    counts_.WriteFailed = true;
    WriteFailed = true;
  }

  void WorkerDone() {
    {
      std::lock_guard lock(mutex_);
      ++workersDone_;
    }
    done_.notify_all();
  }

  // Waits until all `workers` are done or the interval has passed; tells
  // whether they are done, and the rows written so far.
  bool Wait(unsigned workers, uint64_t& written) {
    std::unique_lock lock(mutex_);
    const bool done = done_.wait_for(lock, ProgressInterval, [&] { return workersDone_ == workers; });
    written = counts_.Written;
    return done;
  }

  std::atomic<bool> WriteFailed{false};

 private:
  void Tally(const FinishedCase& finished) {
    ++counts_.Written;
    switch (finished.Result) {
      case RunResult::Completed:
        ++counts_.Completed;
        break;
      case RunResult::Rejected:
        ++counts_.Rejected;
        break;
      case RunResult::Failed:
        ++counts_.Failed;
        break;
    }
    if (finished.ReportNotWritten) ++counts_.ReportsNotWritten;
  }

  const StudyRowWriter& write_;
  StudyCounts& counts_;
  std::mutex mutex_;
  std::condition_variable done_;
  std::map<uint64_t, FinishedCase> waiting_;
  unsigned workersDone_ = 0;
};

}  // namespace

std::string CaseReportName(const std::string& folder, uint64_t caseNumber) {
  char name[40];
  std::snprintf(name, sizeof name, "case-%06llu.txt", static_cast<unsigned long long>(caseNumber));
  return (std::filesystem::path(folder) / name).string();
}

StudyCounts RunStudy(const StudyPlan& plan, const StudySettings& settings, const StudyRowWriter& write,
                     const std::atomic<bool>& stop, const StudyProgress& progress) {
  StudyCounts counts;
  counts.Planned = ShardCaseCount(StudyCaseCount(plan), settings.Shard);
  ReorderBuffer buffer(write, counts);
  std::atomic<uint64_t> next{0};

  auto work = [&] {
    // The record holds a dozen 601-entry arrays: one per worker, on the heap.
    // Every worker says it is done, whatever happened, or the wait never ends.
    try {
      const auto state = std::make_unique<ModelState>();
      while (!stop.load() && !buffer.WriteFailed.load()) {
        const uint64_t j = next.fetch_add(1);
        if (j >= counts.Planned) break;
        buffer.Add(j, RunCaseCaught(plan, settings, ShardCaseNumber(settings.Shard, j), *state));
      }
    } catch (...) {
      buffer.Fail();
    }
    buffer.WorkerDone();
  };

  const unsigned workers = static_cast<unsigned>(
      std::min<uint64_t>(std::max(settings.Workers, 1u), std::max<uint64_t>(counts.Planned, 1)));
  {
    std::vector<std::jthread> threads;
    for (unsigned w = 0; w < workers; ++w) threads.emplace_back(work);
    for (bool done = false; !done;) {
      uint64_t written = 0;
      done = buffer.Wait(workers, written);
      if (progress) progress(written, counts.Planned);
    }
  }  // the threads are joined here
  counts.Stopped = counts.Written < counts.Planned && !counts.WriteFailed;
  return counts;
}
