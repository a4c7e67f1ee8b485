#include "melt/melt_operating_point.h"

#include "melt/bracket_root.h"

#include <cmath>
#include <memory>
#include <thread>

namespace {

constexpr int Doublings = 6;
constexpr int Halvings = 30;
constexpr int MaxNarrowingTrials = 100;
constexpr long double BracketTolerance = 1e-12L;
constexpr double JumpLimit = 1e-6;  // MPa

// One bound's search: every trial on the same private state and record.
class BoundSearch {
 public:
  BoundSearch(const RunTexts& texts, int32_t unitIndex, char decimalSeparator, const MeltInputs& inputs,
              MeltBound bound, const OperatingPointSettings& settings)
      : texts_(texts),
        unitIndex_(unitIndex),
        separator_(decimalSeparator),
        inputs_(inputs),
        bound_(bound),
        settings_(settings),
        state_(std::make_unique<ModelState>()) {}

  MeltOperatingPoint Find(double dragCapacity);

 private:
  // The margin at `output` into `margin`, and the smooth piece it lies on
  // into `piece` when asked; false when the search must stop.
  bool Margin(double output, double& margin, int64_t* piece = nullptr);
  // The whole stage at `output`, for the figures reported there.
  bool FullRun(double output);
  bool Finish(RunOutcome outcome);
  MeltOperatingPoint Stopped(MeltOperatingPoint point, double output) const;
  void KeepFigures(MeltOperatingPoint& point) const;

  const RunTexts& texts_;
  int32_t unitIndex_;
  char separator_;
  const MeltInputs& inputs_;
  MeltBound bound_;
  const OperatingPointSettings& settings_;
  std::unique_ptr<ModelState> state_;
  MeltStage stage_;
  RunOutcome failure_;
  bool cancelled_ = false;
  double stopped_ = 0;  // the output of the last trial asked for
  int32_t evaluations_ = 0;
};

bool BoundSearch::Finish(RunOutcome outcome) {
  if (outcome.Result == RunResult::Completed) return true;
  failure_ = std::move(outcome);
  return false;
}

bool BoundSearch::Margin(double output, double& margin, int64_t* piece) {
  stopped_ = output;
  if (settings_.Cancel && settings_.Cancel->load()) {
    cancelled_ = true;
    return false;
  }
  RunOutcome outcome = RunCommandAtOutput(*state_, texts_, unitIndex_, output, separator_);
  if (outcome.Result == RunResult::Completed) outcome = MeltPressureMargin(*state_, inputs_, bound_, margin);
  // The margin jumps where the end of melting moves by a grid point.
  if (piece) *piece = state_->Profile.RowCount;
  ++evaluations_;
  if (settings_.Progress) settings_.Progress(bound_, evaluations_);
  return Finish(std::move(outcome));
}

bool BoundSearch::FullRun(double output) {
  RunOutcome outcome = RunCommandAtOutput(*state_, texts_, unitIndex_, output, separator_);
  if (outcome.Result == RunResult::Completed) outcome = RunMeltStage(*state_, inputs_, stage_);
  return Finish(std::move(outcome));
}

// The search ended at `output` because a trial failed or was cancelled.
MeltOperatingPoint BoundSearch::Stopped(MeltOperatingPoint point, double output) const {
  point.Status = cancelled_ ? OperatingPointStatus::Cancelled : OperatingPointStatus::TrialFailed;
  point.Output = output;
  point.TrialOutcome = failure_;
  point.Evaluations = evaluations_;
  return point;
}

void BoundSearch::KeepFigures(MeltOperatingPoint& point) const {
  const MeltBoundSummary& s = stage_.Summary[static_cast<int>(bound_)];
  point.TipPressure = s.TipPressure;
  point.DiePressure = s.DiePressure;
  point.PressureMargin = s.PressureMargin;
  point.PeakPressure = s.PeakPressure;
  point.TipMeltTemperature = s.TipMeltTemperature;
  point.SolidAtTip = stage_.Common.MeltEndIndex > stage_.Common.TipIndex;
  point.Warnings.clear();
  for (const MeltWarning& warning : stage_.Warnings) {
    if (warning.Code == MeltWarningCode::DieNotReached) continue;
    if (warning.Bound && *warning.Bound != bound_) continue;
    point.Warnings.push_back(warning.Code);
  }
  point.AtOutput = stage_;
}

MeltOperatingPoint BoundSearch::Find(double dragCapacity) {
  MeltOperatingPoint point;
  double lo = 0, hi = dragCapacity, fLo = 0, fHi = 0;
  int64_t loPiece = 0, hiPiece = 0;
  if (!Margin(hi, fHi, &hiPiece)) return Stopped(point, hi);
  bool bracketed = false;
  if (fHi > 0) {
    // The screw beats the die at its drag capacity: double until it does not.
    for (int k = 0; k < Doublings && !bracketed; ++k) {
      lo = hi;
      fLo = fHi;
      loPiece = hiPiece;
      hi = 2 * hi;
      if (!Margin(hi, fHi, &hiPiece)) return Stopped(point, hi);
      bracketed = !(fHi > 0);
    }
    if (!bracketed) {
      point.Status = OperatingPointStatus::AboveDieEverywhere;
      point.Output = hi;
    }
  } else {
    // Halve until it does.
    for (int k = 0; k < Halvings && !bracketed; ++k) {
      lo = hi / 2;
      if (!Margin(lo, fLo, &loPiece)) return Stopped(point, lo);
      bracketed = fLo > 0;
      if (!bracketed) {
        hi = lo;
        fHi = fLo;
        hiPiece = loPiece;
      }
    }
    if (!bracketed) {
      point.Status = OperatingPointStatus::BelowDieEverywhere;
      point.Output = lo;
    }
  }
  if (bracketed) {
    const BracketNarrowing narrowed = NarrowBracket(
        {lo, hi, fLo, fHi, loPiece, hiPiece}, BracketTolerance, MaxNarrowingTrials,
        [this](double output, BracketTrial& trial) { return Margin(output, trial.Value, &trial.Piece); });
    point.Bisections = narrowed.Trials;
    if (narrowed.Stopped) return Stopped(point, stopped_);
    lo = narrowed.Bracket.Low;
    hi = narrowed.Bracket.High;
    fLo = narrowed.Bracket.LowValue;
    fHi = narrowed.Bracket.HighValue;
    point.Status = OperatingPointStatus::Found;
    point.Output = static_cast<double>(((long double)lo + hi) / 2);
    // Across a jump of the tip pressure no output balances exactly.
    point.InJump = std::fabs(fLo - fHi) > JumpLimit;
  }
  point.Low = lo;
  point.High = hi;
  point.LowMargin = fLo;
  point.HighMargin = fHi;
  point.Evaluations = evaluations_;
  // The reported figures are those of one more run at the output reported.
  if (!FullRun(point.Output)) return Stopped(point, point.Output);
  KeepFigures(point);
  return point;
}

}  // namespace

const char* OperatingPointStatusName(OperatingPointStatus status) {
  switch (status) {
    case OperatingPointStatus::Found: return "Found";
    case OperatingPointStatus::AboveDieEverywhere: return "AboveDieEverywhere";
    case OperatingPointStatus::BelowDieEverywhere: return "BelowDieEverywhere";
    case OperatingPointStatus::TrialFailed: return "TrialFailed";
    case OperatingPointStatus::Cancelled: return "Cancelled";
  }
  return "";
}

MeltOperatingPoint& OperatingPointOf(MeltOperatingPoints& points, MeltBound bound) {
  switch (bound) {
    case MeltBound::Adiabatic: return points.Adiabatic;
    case MeltBound::Barrel: return points.Barrel;
    case MeltBound::BestEstimate: break;
  }
  return points.BestEstimate;
}

const MeltOperatingPoint& OperatingPointOf(const MeltOperatingPoints& points, MeltBound bound) {
  return OperatingPointOf(const_cast<MeltOperatingPoints&>(points), bound);
}

MeltOperatingPoints FindOperatingPoints(const RunTexts& texts, int32_t unitIndex, char decimalSeparator,
                                        const MeltTexts& meltTexts, const MeltStage& completed,
                                        const OperatingPointSettings& settings) {
  MeltOperatingPoints points;
  MeltInputs inputs;
  if (std::optional<std::string> refusal = ConvertMeltInputs(meltTexts, decimalSeparator, inputs)) {
    // The caller's completed stage passed these checks; texts changed since.
    for (MeltOperatingPoint* point : {&points.Adiabatic, &points.Barrel, &points.BestEstimate}) {
      point->Status = OperatingPointStatus::TrialFailed;
      point->TrialOutcome = {RunResult::Rejected, *refusal, {}};
    }
    return points;
  }
  const double dragCapacity = completed.Common.DragCapacity;
  // No exception leaves a search (one runs on a thread of its own): a
  // search that throws failed, with the exception's text.
  auto search = [&](MeltBound bound, MeltOperatingPoint& point) {
    try {
      BoundSearch searcher(texts, unitIndex, decimalSeparator, inputs, bound, settings);
      point = searcher.Find(dragCapacity);
    } catch (const std::exception& error) {
      point = MeltOperatingPoint{};
      point.Status = OperatingPointStatus::TrialFailed;
      point.TrialOutcome = {RunResult::Failed, error.what(), {}};
    }
  };
  if (settings.Parallel) {
    std::thread barrel(search, MeltBound::Barrel, std::ref(points.Barrel));
    std::thread best(search, MeltBound::BestEstimate, std::ref(points.BestEstimate));
    search(MeltBound::Adiabatic, points.Adiabatic);
    barrel.join();
    best.join();
  } else {
    search(MeltBound::Adiabatic, points.Adiabatic);
    search(MeltBound::Barrel, points.Barrel);
    search(MeltBound::BestEstimate, points.BestEstimate);
  }
  return points;
}
