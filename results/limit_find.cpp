#include "results/limit_find.h"

#include <algorithm>
#include <cmath>

#include "melt/melt_stage.h"
#include "melt/melt_warnings.h"
#include "results/case_verdict.h"
#include "results/input_names.h"
#include "results/number_text.h"
#include "results/study_rows.h"

namespace {

struct Probe {
  bool Holds = false;
  std::string Text;
  std::string Columns;
};

// A study axis over exactly these values, each as the run reads a field.
StudyAxis ValuesAxis(int input, const std::vector<double>& values, char decimalSeparator) {
  StudyAxis axis;
  axis.Input = input;
  for (double value : values) {
    axis.Values.push_back(value);
    axis.Texts.push_back(FieldText(value, decimalSeparator));
  }
  axis.Count = axis.Values.size();
  return axis;
}

bool ConditionHolds(const LimitSearch& search, const MeltInputs& die, const RunOutcome& outcome,
                    const ModelState& state, const RunSummary& summary);

// The die a case is judged by: the search's own, or, when a stage input is
// searched, the stage's texts with the case's value; none when the stage
// refuses that value.
std::optional<MeltInputs> CaseDie(const LimitSearch& search, const StudyPlan& plan, uint64_t caseNumber,
                                  char decimalSeparator) {
  if (!IsMeltInput(search.Input)) return search.Die;
  MeltTexts texts = search.DieTexts;
  ApplyStudyCase(plan, caseNumber, texts);
  MeltInputs die;
  if (ConvertMeltInputs(texts, decimalSeparator, die)) return std::nullopt;
  return die;
}

// Runs one case per value through the study engine; false when stopped.
bool RunProbes(const LimitSearch& search, const StudySettings& base, const std::vector<double>& values,
               const std::atomic<bool>& stop, std::vector<Probe>& probes) {
  StudyPlan plan;
  const char decimalSeparator = base.Base.DecimalSeparator;
  plan.Axes.push_back(ValuesAxis(search.Input, values, decimalSeparator));
  probes.assign(values.size(), Probe{});
  StudySettings settings;
  settings.Base = base.Base;
  settings.Base.MeltStage = false;  // a search runs the melting run alone; the search carries the die
  settings.Workers = base.Workers;
  // Each case writes only its own element, and RunStudy joins its workers
  // before the probes are read.
  settings.CaseDone = [&](uint64_t caseNumber, const RunOutcome& outcome, const ModelState& state,
                          const RunSummary& summary, const std::string& note) {
    Probe& probe = probes[caseNumber - 1];
    const std::optional<MeltInputs> die = CaseDie(search, plan, caseNumber, decimalSeparator);
    probe.Holds = die && ConditionHolds(search, *die, outcome, state, summary);
    probe.Text = StudyAxisText(plan.Axes[0], caseNumber - 1);
    probe.Columns = StudyOutcomeColumns(outcome, summary, note);
  };
  const StudyCounts counts = RunStudy(plan, settings, [](const std::string&) { return true; }, stop);
  return !counts.Stopped;
}

// The tolerance asked: the search's own, or a millionth of the value.
bool WithinAskedTolerance(const LimitSearch& search, long double width, double hold) {
  const double tolerance = search.Tolerance > 0 ? search.Tolerance : LimitRelativeTolerance * std::fabs(hold);
  return width <= tolerance;
}

// The bound on runs: a part of the interval, computed in extended range (HI -
// LO of two huge doubles may overflow a double).
bool WithinRunBound(const LimitSearch& search, long double width) {
  return width <= LimitAbsoluteTolerance * ((long double)search.High - search.Low);
}

}  // namespace

namespace {

constexpr const char* ConditionNames[] = {"melted", "clean", "die-reached"};
constexpr const char* BoundNames[] = {"both", "Adiabatic", "Barrel", "BestEstimate"};

// The stage's margin for one bound; a stage that is refused or fails does
// not reach the die.
bool DieReached(const ModelState& state, const MeltInputs& die, MeltBound bound) {
  double margin = 0;
  return MeltPressureMargin(state, die, bound, margin).Result == RunResult::Completed && MarginReachesDie(margin);
}

}  // namespace

const char* LimitConditionName(LimitCondition condition) { return ConditionNames[static_cast<int>(condition)]; }

std::optional<LimitCondition> ParseLimitCondition(std::string_view name) {
  for (int c = 0; c < 3; ++c) {
    if (name == ConditionNames[c]) return static_cast<LimitCondition>(c);
  }
  return std::nullopt;
}

const char* LimitBoundName(LimitBound bound) { return BoundNames[static_cast<int>(bound)]; }

std::optional<LimitBound> ParseLimitBound(std::string_view name) {
  if (name == "Adiabatic") return LimitBound::Adiabatic;
  if (name == "Barrel") return LimitBound::Barrel;
  if (name == "BestEstimate") return LimitBound::BestEstimate;
  return std::nullopt;
}

namespace {

bool ConditionHolds(const LimitSearch& search, const MeltInputs& die, const RunOutcome& outcome,
                    const ModelState& state, const RunSummary& summary) {
  if (outcome.Result != RunResult::Completed) return false;
  switch (search.Condition) {
    case LimitCondition::Melted:
      return summary.Melted;
    case LimitCondition::Clean: {
      if (!search.Stage) return JudgeCase(summary, 0) == CaseVerdict::Clean;
      MeltStage stage;
      const RunOutcome stageOutcome = RunMeltStage(state, die, stage);
      return JudgeCase(summary, StageWarningCount(&stageOutcome, stage)) == CaseVerdict::Clean;
    }
    case LimitCondition::DieReached:
      break;
  }
  if (search.DieRefused) return false;
  switch (search.Bound) {
    case LimitBound::Both: break;
    case LimitBound::Adiabatic: return DieReached(state, die, MeltBound::Adiabatic);
    case LimitBound::Barrel: return DieReached(state, die, MeltBound::Barrel);
    case LimitBound::BestEstimate: return DieReached(state, die, MeltBound::BestEstimate);
  }
  return DieReached(state, die, MeltBound::Adiabatic) && DieReached(state, die, MeltBound::Barrel);
}

}  // namespace

bool LimitConditionHolds(const LimitSearch& search, const RunOutcome& outcome, const ModelState& state,
                         const RunSummary& summary) {
  return ConditionHolds(search, search.Die, outcome, state, summary);
}

const char* LimitStatusName(LimitStatus status) {
  switch (status) {
    case LimitStatus::Found:
      return "Found";
    case LimitStatus::HoldsNowhere:
      return "HoldsNowhere";
    case LimitStatus::HoldsEverywhere:
      return "HoldsEverywhere";
    case LimitStatus::SeveralChanges:
      break;
  }
  return "SeveralChanges";
}

LimitResult FindLimit(const LimitSearch& search, const StudySettings& settings, const std::atomic<bool>& stop) {
  LimitResult result;
  std::vector<double> grid(LimitScanPoints);
  for (int k = 0; k < LimitScanPoints; ++k) {
    grid[k] = search.Low + (search.High - search.Low) * k / (LimitScanPoints - 1);
  }
  grid.back() = search.High;  // exactly, whatever the rounding above
  std::vector<Probe> scan;
  result.Runs = LimitScanPoints;
  if (!RunProbes(search, settings, grid, stop, scan)) {
    result.Stopped = true;
    return result;
  }

  int changes = 0;
  for (int k = 0; k < LimitScanPoints; ++k) {
    if (k > 0 && scan[k].Holds != scan[k - 1].Holds) ++changes;
    if (!scan[k].Holds) continue;
    if (k == 0 || !scan[k - 1].Holds) result.Intervals.push_back({grid[k], grid[k]});
    result.Intervals.back().To = grid[k];
  }
  if (result.Intervals.empty()) {
    const int end = search.Smallest ? 0 : LimitScanPoints - 1;
    result.ShownValue = grid[end];
    result.ShownText = scan[end].Text;
    result.ShownColumns = scan[end].Columns;
    return result;  // HoldsNowhere
  }
  result.Status = changes == 0   ? LimitStatus::HoldsEverywhere
                  : changes == 1 ? LimitStatus::Found
                                 : LimitStatus::SeveralChanges;

  // The scan point that holds next to the change that bounds the answer, and
  // the one beyond it that does not (none at the end of the interval).
  const int holdIndex = search.Smallest
                            ? static_cast<int>(std::find_if(scan.begin(), scan.end(), [](const Probe& p) { return p.Holds; }) - scan.begin())
                            : static_cast<int>(std::find_if(scan.rbegin(), scan.rend(), [](const Probe& p) { return p.Holds; }).base() - scan.begin()) - 1;
  const int failIndex = search.Smallest ? holdIndex - 1 : holdIndex + 1;
  double hold = grid[holdIndex];
  Probe holdProbe = scan[holdIndex];
  if (failIndex >= 0 && failIndex < LimitScanPoints) {
    double fail = grid[failIndex];
    std::vector<Probe> probe;
    for (;;) {
      const long double width = std::fabs((long double)fail - hold);
      if (WithinAskedTolerance(search, width, hold)) break;
      if (WithinRunBound(search, width)) {
        result.RunBoundReached = true;
        break;
      }
      const double middle = hold + (fail - hold) / 2;
      if (middle == hold || middle == fail) break;  // no double lies between them
      ++result.Runs;
      if (!RunProbes(search, settings, {middle}, stop, probe)) {
        result.Stopped = true;
        return result;
      }
      if (probe[0].Holds) {
        hold = middle;
        holdProbe = probe[0];
      } else {
        fail = middle;
      }
    }
  }
  result.Value = hold;
  result.ShownValue = hold;
  result.ShownText = holdProbe.Text;
  result.ShownColumns = holdProbe.Columns;
  return result;
}

std::string LimitIntervalsText(const std::vector<LimitInterval>& intervals) {
  std::string text;
  for (const LimitInterval& interval : intervals) {
    if (!text.empty()) text += " | ";
    text += RoundTripText(interval.From) + " to " + RoundTripText(interval.To);
  }
  return text;
}

std::string LimitResultLine(const LimitSearch& search, const LimitResult& result, int32_t unitIndex) {
  const std::string name = InputNames[search.Input].Name;
  // Appended, not " " + ...: GCC 12 warns wrongly about an overlap there.
  std::string unit = " ";
  unit += InputUnit(search.Input, unitIndex);
  const std::string condition = LimitConditionName(search.Condition);
  const std::string runs = " (" + std::to_string(result.Runs) + " runs)";
  if (result.Stopped) return "search for a limit of " + name + " stopped";
  if (!result.Value) {
    return condition + " holds nowhere for " + name + " from " + RoundTripText(search.Low) + " to " +
           RoundTripText(search.High) + unit + runs + "; the run shown is at " + RoundTripText(result.ShownValue) +
           unit;
  }
  std::string line = std::string(search.Smallest ? "smallest " : "largest ") + name + " where " + condition +
                     " holds: " + RoundTripText(*result.Value) + unit + runs;
  if (result.RunBoundReached) {
    line += "; stopped at the bound on runs, to within " +
            RoundTripText(static_cast<double>(LimitAbsoluteTolerance * ((long double)search.High - search.Low))) +
            unit;
  }
  if (result.Status == LimitStatus::HoldsEverywhere) {
    line += "; it holds everywhere from " + RoundTripText(search.Low) + " to " + RoundTripText(search.High) + unit;
  } else if (result.Status == LimitStatus::SeveralChanges) {
    const std::size_t count = result.Intervals.size();
    line += "; it holds in " + std::to_string(count) + (count == 1 ? " interval: " : " intervals: ") +
            LimitIntervalsText(result.Intervals);
  }
  return line;
}
