#pragma once
// The flood-fed operating point: per temperature bound, the output (kg/hr)
// at which the screw's tip pressure equals the die's need, found by
// bracketing, then narrowing the bracket (melt/bracket_root). Every trial re-runs the melting model and the
// stage on a private ModelState, without a report; the caller's state,
// report and stage record are never touched. The three profiles may be
// searched at once on three threads.
// Units as in melt_stage.h (kg/hr, MPa, degC).

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/run_command.h"
#include "melt/melt_inputs.h"
#include "melt/melt_stage.h"

enum class OperatingPointStatus {
  Found,
  AboveDieEverywhere,  // the screw beats the die up to 64 x DragCapacity
  BelowDieEverywhere,  // the die beats the screw down to DragCapacity / 2^30
  TrialFailed,         // a trial run was refused or failed: TrialOutcome says why
  Cancelled,           // the caller's cancel flag was raised
};
const char* OperatingPointStatusName(OperatingPointStatus status);

// What a search has of its figures by how it ended: the bracket (Low, High,
// their margins, InJump) only when Found; Output and the figures of the run
// there when Found or at either end searched (the everywhere statuses); none
// of them after a failed trial or a cancel. The others are left at zero and
// must not be shown as figures.
inline bool HasBracket(OperatingPointStatus status) { return status == OperatingPointStatus::Found; }
inline bool HasFiguresAtOutput(OperatingPointStatus status) {
  return status == OperatingPointStatus::Found || status == OperatingPointStatus::AboveDieEverywhere ||
         status == OperatingPointStatus::BelowDieEverywhere;
}

struct MeltOperatingPoint {
  OperatingPointStatus Status = OperatingPointStatus::Found;
  double Output = 0;  // kg/hr: x* when Found, else the last trial output
  double Low = 0;     // kg/hr, the bracket's side with a positive margin
  double High = 0;    // kg/hr, the side with a margin <= 0
  double LowMargin = 0;   // MPa
  double HighMargin = 0;  // MPa
  int32_t Bisections = 0;   // trials that narrowed the bracket (interpolation or bisection)
  int32_t Evaluations = 0;  // trial runs, not counting the final run at x*
  // At Output (the final run when Found, the last trial otherwise; absent
  // figures are zero for TrialFailed and Cancelled).
  double TipPressure = 0;         // MPa
  double DiePressure = 0;         // MPa
  double PressureMargin = 0;      // MPa
  double PeakPressure = 0;        // MPa
  double TipMeltTemperature = 0;  // degC
  bool SolidAtTip = false;        // melting incomplete at the output found
  bool InJump = false;            // the tip pressure jumps across the root
  std::vector<MeltWarningCode> Warnings;  // this bound's and the common ones, without DieNotReached
  RunOutcome TrialOutcome;  // for TrialFailed: the refused or failed trial's outcome
  MeltStage AtOutput;       // the whole stage record at Output, for the window
};

struct MeltOperatingPoints {
  MeltOperatingPoint Adiabatic;
  MeltOperatingPoint Barrel;
  MeltOperatingPoint BestEstimate;
};

MeltOperatingPoint& OperatingPointOf(MeltOperatingPoints& points, MeltBound bound);
const MeltOperatingPoint& OperatingPointOf(const MeltOperatingPoints& points, MeltBound bound);

struct OperatingPointSettings {
  bool Parallel = true;  // every profile at once, each on a thread
  // Raised by the caller to stop at the next trial; may be null.
  const std::atomic<bool>* Cancel = nullptr;
  // Called after every trial run with the bound and its evaluations so far,
  // from the thread that searches that bound; may be empty.
  std::function<void(MeltBound, int32_t)> Progress;
};

// Searches every profile for the run the texts describe. `completed` is the
// stage record of the completed run at the texts' own output (its
// DragCapacity sets the bracket's scale).
MeltOperatingPoints FindOperatingPoints(const RunTexts& texts, int32_t unitIndex, char decimalSeparator,
                                        const MeltTexts& meltTexts, const MeltStage& completed,
                                        const OperatingPointSettings& settings = {});
