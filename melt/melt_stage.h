#pragma once
// The melt-conveying stage: after a completed melting run, the pressure, the
// bulk melt temperature and the die's need at every grid point from point 0
// to the screw tip, for two temperature bounds (Adiabatic: no barrel heat
// beyond melting; Barrel: melt held at the barrel temperature) and the best
// estimate between and around them (BestEstimate: the melt exchanges heat
// with the barrel through a penetration-theory coefficient, the screw
// insulated).
//
// Ownership: MeltStage is its own record, kept beside the ModelState it was
// computed from; the stage reads the ModelState and writes nothing into it.
// Units: everything stored here is in the units shown to the user, so the
// window, the CSV and the JSON print the members as they are:
//   pressure MPa, gradient MPa/cm, temperature degC, viscosity Pa.s,
//   shear rate 1/s, power kW, output kg/hr, flow cm3/s, lengths cm,
//   die conductance cm3, turns as the grid's Flight.
// The calculation itself runs in CGS (dyn/cm2, poise, erg/s) and converts
// once per stored value.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/run_command.h"
#include "melt/melt_inputs.h"
#include "model/model_state.h"

// The three thermal profiles; "bound" for each, since the two bounds came
// first. The best estimate is not bracketed by the bounds: shear heat
// settles it above the barrel, and a barrel hotter upstream leaves it heat
// the adiabatic bound never had.
enum class MeltBound { Adiabatic = 0, Barrel = 1, BestEstimate = 2 };
inline constexpr int MeltBoundCount = 3;
const char* MeltBoundName(MeltBound bound);  // "Adiabatic", "Barrel", "BestEstimate"

enum class ScrewZone { Feed, Compression, Metering };
const char* ScrewZoneName(ScrewZone zone);  // "feed", "compression", "metering"

// One bound's values at one grid point.
struct MeltBoundPoint {
  double Temperature = 0;  // degC
  double Viscosity = 0;    // Pa.s
  double Gradient = 0;     // MPa/cm, positive where pressure rises toward the tip
  double Pressure = 0;     // MPa
};

// One grid point. The four optional members are absent at inactive points
// (a melt pool narrower than it is deep, or no pool).
struct MeltPoint {
  int32_t Index = 0;
  double Turn = 0;
  ScrewZone Zone = ScrewZone::Feed;
  double ChannelLength = 0;  // cm
  double Depth = 0;          // cm
  bool Melting = false;      // solid bed present
  bool Active = false;       // a pressure gradient is computed here
  double FlowWidth = 0;      // cm
  double MeltFlowRate = 0;   // cm3/s
  std::optional<double> DragFlowRate;         // cm3/s
  std::optional<double> FlowRatio;            // MeltFlowRate / DragFlowRate
  std::optional<double> DragShapeFactor;
  std::optional<double> PressureShapeFactor;
  double ShearRate = 0;  // 1/s
  std::array<MeltBoundPoint, MeltBoundCount> Bounds{};  // indexed by MeltBound
};

struct MeltBoundSummary {
  double PeakPressure = 0;  // MPa
  double PeakPressureTurn = 0;
  double MinPressure = 0;  // MPa
  double MinPressureTurn = 0;
  double TipPressure = 0;     // MPa
  double DiePressure = 0;     // MPa
  double PressureMargin = 0;  // MPa, tip less die; negative: the die is not reached
  std::optional<double> DieShearRate;  // 1/s; absent without a die geometry or constant
  std::optional<double> DieViscosity;  // Pa.s; likewise
  double MeltingZoneHeat = 0;                  // kW
  std::optional<double> MeltStartTemperature;  // degC; absent when solid reaches the tip
  double TipMeltTemperature = 0;               // degC
  double MeltConveyingPower = 0;               // kW
  double TotalScrewPower = 0;                  // kW
  std::optional<double> EnergyResidual;        // kW; absent when solid reaches the tip
};

// The best estimate's exchange with the barrel.
struct MeltBarrelExchange {
  double HeatTransferCoefficient = 0;      // W/(m2 K)
  double ExposureTime = 0;                 // s, between two passes of the flight
  std::optional<double> RelaxationLength;  // cm, C/(hW) of the melted channel; absent without exchange
  double BarrelHeat = 0;                   // kW into the melt, melting zone and melted channel
  double TipBarrelDifference = 0;          // K, tip melt temperature less the barrel's
};

struct MeltCommonFigures {
  double DragCapacity = 0;  // kg/hr, the melted channel's drag flow at the tip depth
  int32_t TipIndex = 0;     // N, the last grid point
  int32_t MeltEndIndex = 0;             // first fully melted point; TipIndex + 1 when solid reaches the tip
  std::optional<double> MeltEndTurn;    // absent when solid reaches the tip
  double MeltFlow = 0;                  // cm3/s, the melt flow once all is melted
  std::optional<double> DieConductance; // cm3; absent for None and HeadPressure
  int32_t NarrowPoolCount = 0;          // inactive melting points
  std::optional<double> NarrowPoolFirstTurn;
  std::optional<double> NarrowPoolLastTurn;
};

enum class MeltWarningCode {
  NegativePressure,
  DieNotReached,
  FlowAboveDragFlow,
  SolidAtTip,
  BedFillsChannel,
  BoundsFarApart,  // a note: listed, never an exit status
  BarrelBelowMeltingPoint,
  DiePressureHigh,  // per bound: beyond what extruders are built for
  DieImplausible,   // a die dimension no die is made with
  MeltOffBarrel,  // the best estimate depends on the assumed exchange
};
const char* MeltWarningCodeName(MeltWarningCode code);
bool IsMeltNote(MeltWarningCode code);

// A named figure of a warning, in the units above ("Turn", "Pressure",
// "FromTurn", "ToTurn", "PointCount", ...).
struct MeltWarningFigure {
  const char* Name;
  double Value;
};

struct MeltWarning {
  MeltWarningCode Code = MeltWarningCode::NegativePressure;
  std::optional<MeltBound> Bound;  // present for the per-bound warnings
  std::vector<MeltWarningFigure> Figures;
  std::string Text;
};

struct MeltStage {
  std::vector<MeltPoint> Points;  // grid points 0..TipIndex
  MeltCommonFigures Common;
  std::array<MeltBoundSummary, MeltBoundCount> Summary{};  // indexed by MeltBound
  MeltBarrelExchange Exchange;                             // of the best estimate
  std::vector<MeltWarning> Warnings;                       // in their fixed order
};

// The stage's fault message and its refusals of values the melting run took.
inline constexpr const char* MeltFaultMessage = "Melt-conveying stage: floating point fault";

// MeltFaultMessage naming the quantity, as a melting run's fault does:
// "Melt-conveying stage: floating point fault while computing Gradient".
std::string MeltFaultText(const std::string& quantity);

// The viscosity of the best estimate's melt pool beside the bed: at the
// pool's bulk temperature, or held at the melting point as the adiabatic
// bound holds it (with no exchange the best estimate is then that bound: a
// check of its bookkeeping).
enum class PoolViscosity { BulkTemperature, MeltingPoint };

// Runs the stage on the state a completed melting run left. Rejected with
// the message of the first existing value the stage cannot use; Failed with
// MeltFaultText at the first non-finite value, and then `stage` holds
// nothing to show. `state` is never written. A checked computation of its
// own (FloatFaultScope): flags raised before it are not its faults, and
// none it raises outlives it.
RunOutcome RunMeltStage(const ModelState& state, const MeltInputs& inputs, MeltStage& stage,
                        PoolViscosity pool = PoolViscosity::BulkTemperature);

// One bound's PressureMargin (MPa) as RunMeltStage would give it, without
// the other bound, the record or the warnings: a search's trial.
RunOutcome MeltPressureMargin(const ModelState& state, const MeltInputs& inputs, MeltBound bound, double& margin);

// A melting run followed by the stage, in the stage's order: its own inputs
// are checked first, but a refusal there leaves the melting run (and its
// report) as it would be without the stage.
struct MeltRunOutcomes {
  RunOutcome Run;                 // the melting run, as RunCommand gives it
  std::optional<RunOutcome> Melt; // absent when the inputs were good but the run did not complete
};

MeltRunOutcomes RunWithMeltStage(ModelState& state, const RunTexts& texts, int32_t unitIndex,
                                 UserMessages& messages, char decimalSeparator, ReportWriting report,
                                 const MeltTexts& meltTexts, MeltStage& stage);
