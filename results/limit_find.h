#pragma once
// Finding a limit: the largest (or smallest) value of one input in an
// interval at which a condition on the run holds. The model is not monotone
// everywhere, so the interval is first scanned on a coarse grid, then the
// change of the condition that bounds the answer is bisected:
//   largest:  the last change, from the last scan point where the condition
//             holds to the next one up (the answer is the top of the highest
//             interval where it holds);
//   smallest: the first change, from the first scan point where it holds to
//             the one below.
// Every run goes through the study engine, so a case is run exactly as the
// same values in a study would be. Plain bisection, not a search that splits
// the bracket by the number of workers: the value found never depends on -j.

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/run_command.h"
#include "melt/melt_inputs.h"
#include "results/run_summary.h"
#include "results/study_run.h"

inline constexpr int LimitScanPoints = 64;
inline constexpr double LimitRelativeTolerance = 1e-6;
// The bound on a search's runs: the bisection never goes below this part of
// the interval searched (HI - LO), whatever tolerance was asked or the value
// is, so a search takes at most LimitMaxRuns runs (the scan, then
// log2(1e9 / 63) < 24 bisections).
inline constexpr double LimitAbsoluteTolerance = 1e-9;
inline constexpr int LimitMaxRuns = 88;

// melted: completed, less than 2 % of the solid left within the screw.
// clean: melted, and the summary gives no warning; with Stage, neither does
// the melt-conveying stage with Die (JudgeCase).
// die-reached: completed, and the melt-conveying stage's pressure at the tip
// is at least what the die needs (MarginReachesDie) for the bound or the
// best estimate named, or for both bounds.
enum class LimitCondition { Melted, Clean, DieReached };
enum class LimitBound { Both, Adiabatic, Barrel, BestEstimate };

// The names on the command line and in files, and back.
const char* LimitConditionName(LimitCondition condition);
std::optional<LimitCondition> ParseLimitCondition(std::string_view name);
const char* LimitBoundName(LimitBound bound);
std::optional<LimitBound> ParseLimitBound(std::string_view name);

struct LimitSearch;

// Whether the search's condition holds for one run, judged by search.Die;
// `summary` is read only for a completed run, `state` only for die-reached.
bool LimitConditionHolds(const LimitSearch& search, const RunOutcome& outcome, const ModelState& state,
                         const RunSummary& summary);

struct LimitSearch {
  int Input = 0;  // named-input index
  double Low = 0, High = 0;  // Low < High
  LimitCondition Condition = LimitCondition::Melted;
  bool Smallest = false;
  // The bisection stops when the bracket is at most this wide, in the
  // input's unit; 0: LimitRelativeTolerance of the value.
  double Tolerance = 0;
  // For die-reached: which bound's margin counts, and the die and start
  // pressure the stage runs with; for clean with Stage, that die too.
  LimitBound Bound = LimitBound::Both;
  MeltInputs Die;
  bool Stage = false;  // clean counts the stage's warnings too
  // When the searched input is one of the stage's (die-reached, or clean
  // with Stage): the stage's texts each trial value goes into; its die
  // replaces Die.
  MeltTexts DieTexts = InitialMeltTexts();
  // The stage refused the die's texts (a case of a limit study varying one
  // of them): die-reached holds nowhere.
  bool DieRefused = false;
};

enum class LimitStatus { Found, HoldsNowhere, HoldsEverywhere, SeveralChanges };
const char* LimitStatusName(LimitStatus status);

// A stretch of scan points, first to last, where the condition holds.
struct LimitInterval {
  double From = 0, To = 0;
};

struct LimitResult {
  LimitStatus Status = LimitStatus::HoldsNowhere;
  // The largest (smallest) value where the condition holds; none when it
  // holds nowhere. With HoldsEverywhere it is High (Low).
  std::optional<double> Value;
  // The run that goes with the result: at Value, or where it holds nowhere at
  // the end searched towards (High for the largest, Low for the smallest), as
  // the run reads that value, and its study columns from "outcome" on.
  double ShownValue = 0;
  std::string ShownText;
  std::string ShownColumns;
  uint64_t Runs = 0;  // the scan's and the bisection's, at most LimitMaxRuns
  // The bound on runs, not the tolerance asked, ended the bisection: Value
  // is known to LimitAbsoluteTolerance x (High - Low) only.
  bool RunBoundReached = false;
  std::vector<LimitInterval> Intervals;
  bool Stopped = false;  // `stop` was raised: nothing else here is meaningful
};

// Runs the search from settings.Base, the melting run alone (its Workers run the scan; its
// shard, report folder and observer are not used).
LimitResult FindLimit(const LimitSearch& search, const StudySettings& settings, const std::atomic<bool>& stop);

// One line for a person: "largest OutputRate where melted holds: 482.3 kg/hr
// (79 runs)", with the intervals when there are several.
std::string LimitResultLine(const LimitSearch& search, const LimitResult& result, int32_t unitIndex);

// "100 to 300 | 350 to 416": the intervals where the condition holds.
std::string LimitIntervalsText(const std::vector<LimitInterval>& intervals);
