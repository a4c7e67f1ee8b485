#include "melt/melt_stage.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "melt/die_plausibility.h"
#include "melt/barrel_exchange.h"
#include "melt/finite_values.h"
#include "melt/melt_die.h"
#include "melt/melt_viscosity.h"
#include "melt/melt_warnings.h"
#include "melt/shape_factors.h"
#include "model/axial_grid.h"

namespace {

constexpr long double DynPerCm2PerMPa = 1e7L;
constexpr long double ErgPerSecondPerKW = 1e10L;
constexpr long double ErgPerCal = 4.18605e7L;
constexpr long double PoisePerPaS = 10.0L;
constexpr long double KgPerHourPerGramPerSecond = 3.6L;

// The values of the grid points that both bounds share, in CGS.
struct CommonValues {
  int32_t Tip = 0;       // N
  int32_t MeltEnd = 0;   // j0
  long double BarrelSpeed = 0;
  long double DownChannelSpeed = 0;  // V_b cos(theta)
  long double SpeedFactor = 0;       // V_b^2 (cos^2 + 4 sin^2): the circulation's dissipation
  long double HeatCapacityFlow = 0;  // erg/(s K)
  double MeltFlow = 0;               // cm3/s
  std::array<bool, MaxGridPoints> Active{};
  // Every value above (and below) the same as at the point before: a
  // straight melted length, where a bound at one temperature repeats itself.
  std::array<bool, MaxGridPoints> SameAsBefore{};
  GridArray Width{};
  GridArray Flow{};
  GridArray DragFlow{};
  GridArray DragShape{};
  GridArray PressureShape{};
  GridArray ShearRate{};
  std::array<long double, MaxGridPoints> ShearFactor{};
  // The parts of the gradient and of the dissipation that do not depend on
  // the viscosity, taken once for both bounds and every Heun step:
  // 12 (Q_D - Q) / (W H^3 F_p) and W V_b^2 (cos^2 + 4 sin^2) / H.
  std::array<long double, MaxGridPoints> GradientFactor{};
  std::array<long double, MaxGridPoints> DissipationFactor{};
};

// One bound's point values in CGS.
struct BoundValues {
  GridArray Temperature{};
  GridArray Viscosity{};      // poise
  GridArray Gradient{};       // dyn/cm3
  GridArray ShaftPower{};     // erg/(s cm)
  GridArray Heat{};           // erg/(s cm)
  GridArray Pressure{};       // dyn/cm2
  long double PoolHeat = 0;   // erg/s over the melting points
  // The best estimate's barrel heat into the melt (erg/s): all of it, and
  // that of the melted channel, which its energy balance counts.
  long double BarrelHeat = 0;
  long double MeltedBarrelHeat = 0;
};

// The best estimate's coefficient.
struct BarrelCoefficient {
  long double ExposureTime = 0;  // s
  long double Coefficient = 0;   // erg/(s cm2 K)
};

struct PointValues {
  double Viscosity, Gradient, ShaftPower, Heat;
};

long double StepLength(const AxialGrid& grid, int32_t j) {
  return (long double)grid.ChannelLength[j + 1] - grid.ChannelLength[j];
}

void ComputeCommonValues(const ModelState& state, const MeltViscosityLaw& law, CommonValues& c) {
  const ModelInputs& in = state.Inputs;
  const OperatingPoint& op = state.Operating;
  const AxialGrid& grid = state.Grid;
  c.Tip = LastGridPoint(grid);
  c.MeltEnd = std::min(state.Profile.RowCount, c.Tip + 1);
  const long double theta = op.HelixAngle;
  const long double cosine = std::cos(theta);
  const long double sine = std::sin(theta);
  c.BarrelSpeed = op.BarrelSpeed;
  c.DownChannelSpeed = FiniteExtended(c.BarrelSpeed * cosine, "DownChannelSpeed");
  c.SpeedFactor = FiniteExtended(c.BarrelSpeed * c.BarrelSpeed * (cosine * cosine + 4.0L * sine * sine), "ShaftPower");
  c.HeatCapacityFlow = FiniteExtended((long double)op.MassRate * in.MeltSpecificHeat * ErgPerCal, "MeltTemperature");
  c.MeltFlow = Finite((long double)op.MassRate / in.MeltDensity, "MeltFlowRate");

  ShapeFactors shapes;
  double shapeDepth = 0, shapeWidth = 0;  // the channel the kept shape factors belong to
  double shearDepth = 0;
  for (int32_t j = 0; j <= c.Tip; ++j) {
    const double depth = grid.Depth[j];
    const bool melting = j < c.MeltEnd;
    if (melting) {
      c.Width[j] = Finite((long double)op.ChannelWidth - state.Profile.BedWidth[j], "FlowWidth");
      c.Flow[j] = Finite((long double)op.MassRate * (1.0L - (long double)state.Profile.SolidFraction[j]) /
                              in.MeltDensity,
                          "MeltFlowRate");
    } else {
      c.Width[j] = op.ChannelWidth;
      c.Flow[j] = c.MeltFlow;
    }
    c.Active[j] = !melting || c.Width[j] >= depth;
    if (depth != shearDepth || j == 0) {
      c.ShearRate[j] = Finite(c.BarrelSpeed / depth, "ShearRate");
      c.ShearFactor[j] = ShearFactor(law, c.ShearRate[j]);
      shearDepth = depth;
    } else {
      c.ShearRate[j] = c.ShearRate[j - 1];
      c.ShearFactor[j] = c.ShearFactor[j - 1];
    }
    if (!c.Active[j]) continue;
    if (depth != shapeDepth || c.Width[j] != shapeWidth) {
      shapes = ChannelShapeFactors(depth, c.Width[j]);
      shapeDepth = depth;
      shapeWidth = c.Width[j];
    }
    c.DragShape[j] = shapes.Drag;
    c.PressureShape[j] = shapes.Pressure;
    c.DragFlow[j] = Finite(0.5L * c.DownChannelSpeed * c.Width[j] * depth * c.DragShape[j], "DragFlowRate");
  }
  for (int32_t j = 0; j <= c.Tip; ++j) {
    c.SameAsBefore[j] = j > 0 && grid.Depth[j] == grid.Depth[j - 1] && c.Width[j] == c.Width[j - 1] &&
                        c.Flow[j] == c.Flow[j - 1] && c.Active[j] == c.Active[j - 1];
    if (c.SameAsBefore[j]) {
      c.GradientFactor[j] = c.GradientFactor[j - 1];
      c.DissipationFactor[j] = c.DissipationFactor[j - 1];
      continue;
    }
    const long double h = grid.Depth[j];
    const long double w = c.Width[j];
    if (c.Active[j]) {
      c.GradientFactor[j] =
          FiniteExtended(12.0L * ((long double)c.DragFlow[j] - c.Flow[j]) / (w * h * h * h * c.PressureShape[j]),
                         "Gradient");
    }
    c.DissipationFactor[j] = FiniteExtended(std::max(w, 0.0L) * c.SpeedFactor / h, "ShaftPower");
  }
}

// Viscosity, gradient, shaft power and heat of point j at a temperature.
PointValues EvaluatePoint(const CommonValues& c, const MeltViscosityLaw& law,
                          TemperatureFactorCache& temperatureFactor, int32_t j, long double temperature) {
  PointValues v;
  v.Viscosity = Finite(law.Consistency * temperatureFactor.At(temperature) * c.ShearFactor[j], "Viscosity");
  const long double mu = v.Viscosity;
  if (c.Active[j]) {
    v.Gradient = Finite(mu * c.GradientFactor[j], "Gradient");
    v.ShaftPower = Finite(mu * c.DissipationFactor[j] + (long double)c.DragFlow[j] * v.Gradient, "ShaftPower");
    v.Heat = Finite((long double)v.ShaftPower - (long double)c.Flow[j] * v.Gradient, "Heat");
  } else {
    // A narrow pool: no gradient; the dissipation of the pool's width (none without a pool).
    v.Gradient = 0;
    v.ShaftPower = Finite(mu * c.DissipationFactor[j], "ShaftPower");
    v.Heat = v.ShaftPower;
  }
  return v;
}

void StorePoint(BoundValues& b, int32_t j, long double temperature, const PointValues& v) {
  b.Temperature[j] = Finite(temperature, "MeltTemperature");
  b.Viscosity[j] = v.Viscosity;
  b.Gradient[j] = v.Gradient;
  b.ShaftPower[j] = v.ShaftPower;
  b.Heat[j] = v.Heat;
}

// Point j at a temperature, or the point before's values when the channel
// and the temperature are the same.
void ComputePoint(const CommonValues& c, const MeltViscosityLaw& law, TemperatureFactorCache& factor, int32_t j,
                  long double temperature, BoundValues& b) {
  if (c.SameAsBefore[j] && temperature == b.Temperature[j - 1]) {
    StorePoint(b, j, temperature, {b.Viscosity[j - 1], b.Gradient[j - 1], b.ShaftPower[j - 1], b.Heat[j - 1]});
  } else {
    StorePoint(b, j, temperature, EvaluatePoint(c, law, factor, j, temperature));
  }
}

// The melting points' heat, each point over the step that follows it.
long double PoolHeat(const CommonValues& c, const AxialGrid& grid, const BoundValues& b) {
  long double heat = 0;
  for (int32_t i = 0; i < std::min(c.MeltEnd, c.Tip); ++i) {
    heat = FiniteExtended(heat + (long double)b.Heat[i] * StepLength(grid, i), "MeltingZoneHeat");
  }
  return heat;
}

// Melt held at the barrel temperature everywhere.
void ComputeBarrelBound(const ModelState& state, const CommonValues& c, const MeltViscosityLaw& law,
                        BoundValues& b) {
  TemperatureFactorCache factor(law);
  for (int32_t j = 0; j <= c.Tip; ++j) {
    ComputePoint(c, law, factor, j, state.Grid.BarrelTemp[j], b);
  }
  b.PoolHeat = PoolHeat(c, state.Grid, b);
}

// No heat through the barrel: the pool at the melting point; the melt starts
// with the shear heat of film and pool less the melting need, then heats by
// its own dissipation (Heun steps).
void ComputeAdiabaticBound(const ModelState& state, const CommonValues& c, const MeltViscosityLaw& law,
                           BoundValues& b) {
  const AxialGrid& grid = state.Grid;
  const long double meltingPoint = state.Inputs.MeltingPoint;
  TemperatureFactorCache factor(law);
  for (int32_t j = 0; j < c.MeltEnd; ++j) {
    ComputePoint(c, law, factor, j, meltingPoint, b);
  }
  b.PoolHeat = PoolHeat(c, grid, b);
  if (c.MeltEnd > c.Tip) return;

  const long double filmHeat =
      ((long double)state.Profile.MeltingPower - state.Profile.NetMeltingEnergy) * ErgPerSecondPerKW;
  const long double excess = FiniteExtended(filmHeat + b.PoolHeat, "MeltStartTemperature");
  const long double start = meltingPoint + std::max(excess, 0.0L) / c.HeatCapacityFlow;
  StorePoint(b, c.MeltEnd, start, EvaluatePoint(c, law, factor, c.MeltEnd, start));
  const long double capacity = c.HeatCapacityFlow;
  for (int32_t j = c.MeltEnd; j < c.Tip; ++j) {
    const long double dz = StepLength(grid, j);
    const long double t = b.Temperature[j];
    const long double trial = FiniteExtended(t + (long double)b.Heat[j] * dz / capacity, "MeltTemperature");
    const PointValues atTrial = EvaluatePoint(c, law, factor, j + 1, trial);
    const long double next =
        FiniteExtended(t + 0.5L * ((long double)b.Heat[j] + atTrial.Heat) * dz / capacity, "MeltTemperature");
    StorePoint(b, j + 1, next, EvaluatePoint(c, law, factor, j + 1, next));
  }
}

BarrelCoefficient BarrelCoefficientOf(const ModelState& state, const MeltInputs& inputs) {
  const ModelInputs& in = state.Inputs;
  const OperatingPoint& op = state.Operating;
  BarrelCoefficient k;
  k.ExposureTime =
      FiniteExtended(BarrelExposureTime(op.ChannelWidth, op.BarrelSpeed, op.HelixAngle), "ExposureTime");
  k.Coefficient = FiniteExtended(
      BarrelHeatTransferCoefficient(inputs.BarrelHeatTransferFactor, (long double)in.MeltConductivity * ErgPerCal,
                                    in.MeltDensity, (long double)in.MeltSpecificHeat * ErgPerCal, k.ExposureTime),
      "HeatTransferCoefficient");
  return k;
}

// The width over which steps j -> j+1 touch the barrel: the pool's beside
// the bed, the channel's once melted, none where the bed fills the channel.
long double ExchangeWidth(const CommonValues& c, int32_t j) {
  return 0.5L * (std::max((long double)c.Width[j], 0.0L) + std::max((long double)c.Width[j + 1], 0.0L));
}

// The melting zone of the best estimate: one account of the heat the pool
// carries above the melting point (the film's excess shared out as melt is
// made, the pool's shear heat, the barrel's exchange over the pool), new
// melt entering at the melting point. Returns that heat (erg/s) at the end
// of melting.
long double BestEstimatePool(const ModelState& state, const CommonValues& c, const MeltViscosityLaw& law,
                             long double coefficient, PoolViscosity pool, TemperatureFactorCache& factor,
                             BoundValues& b) {
  const AxialGrid& grid = state.Grid;
  const ModelInputs& in = state.Inputs;
  const long double meltingPoint = in.MeltingPoint;
  const long double capacityPerFlow = (long double)in.MeltDensity * in.MeltSpecificHeat * ErgPerCal;
  const long double filmHeat =
      ((long double)state.Profile.MeltingPower - state.Profile.NetMeltingEnergy) * ErgPerSecondPerKW;
  if (c.MeltEnd == 0) return FiniteExtended(filmHeat, "MeltStartTemperature");
  // The melt still to be made after point 0, over which the film's excess is shared.
  const long double toMelt = (long double)c.MeltFlow - c.Flow[0];
  long double heat = 0;
  for (int32_t j = 0; j < c.MeltEnd && j <= c.Tip; ++j) {
    const long double capacity = capacityPerFlow * c.Flow[j];
    long double temperature = meltingPoint;
    if (pool == PoolViscosity::BulkTemperature && capacity > 0) {
      temperature = FiniteExtended(meltingPoint + std::max(heat / capacity, 0.0L), "MeltTemperature");
    }
    ComputePoint(c, law, factor, j, temperature, b);
    if (j == c.Tip) break;
    const long double dz = StepLength(grid, j);
    const long double film = toMelt > 0 ? filmHeat * ((long double)c.Flow[j + 1] - c.Flow[j]) / toMelt : 0.0L;
    const long double added = FiniteExtended(film + (long double)b.Heat[j] * dz, "MeltTemperature");
    const long double nextCapacity = capacityPerFlow * c.Flow[j + 1];
    const long double exchange = nextCapacity > 0 ? coefficient * ExchangeWidth(c, j) * dz / nextCapacity : 0.0L;
    if (exchange > 0) {
      const long double next =
          nextCapacity * ExchangeStep(heat / nextCapacity, grid.BarrelTemp[j] - meltingPoint,
                                      grid.BarrelTemp[j + 1] - meltingPoint, added / nextCapacity, exchange);
      b.BarrelHeat = FiniteExtended(b.BarrelHeat + (next - heat - added), "BarrelHeat");
      heat = FiniteExtended(next, "MeltTemperature");
    } else {
      heat = FiniteExtended(heat + added, "MeltTemperature");
    }
  }
  return heat;
}

// The best estimate: the melt gains its shear heat and exchanges heat with
// the barrel, each step solved exactly for the exchange, the shear heat
// averaged by Heun as in the adiabatic bound.
void ComputeBestEstimate(const ModelState& state, const CommonValues& c, const MeltViscosityLaw& law,
                         long double coefficient, PoolViscosity pool, BoundValues& b) {
  const AxialGrid& grid = state.Grid;
  TemperatureFactorCache factor(law);
  b.BarrelHeat = 0;
  b.MeltedBarrelHeat = 0;
  const long double poolHeat = BestEstimatePool(state, c, law, coefficient, pool, factor, b);
  b.PoolHeat = PoolHeat(c, grid, b);
  if (c.MeltEnd > c.Tip) return;

  const long double capacity = c.HeatCapacityFlow;
  const long double start = (long double)state.Inputs.MeltingPoint + std::max(poolHeat, 0.0L) / capacity;
  StorePoint(b, c.MeltEnd, start, EvaluatePoint(c, law, factor, c.MeltEnd, start));
  // Steps of one size in one channel share their exchange.
  long double exchange = -1;
  ExchangeFactors factors;
  for (int32_t j = c.MeltEnd; j < c.Tip; ++j) {
    const long double dz = StepLength(grid, j);
    const long double t = b.Temperature[j];
    const long double stepExchange = coefficient * ExchangeWidth(c, j) * dz / capacity;
    if (stepExchange != exchange) {
      exchange = stepExchange;
      factors = ExchangeFactorsOf(exchange);
    }
    const double barrelStart = grid.BarrelTemp[j], barrelEnd = grid.BarrelTemp[j + 1];
    const long double trial = FiniteExtended(
        ExchangeStep(t, barrelStart, barrelEnd, (long double)b.Heat[j] * dz / capacity, factors), "MeltTemperature");
    const PointValues atTrial = EvaluatePoint(c, law, factor, j + 1, trial);
    const long double shear = 0.5L * ((long double)b.Heat[j] + atTrial.Heat) * dz;
    const long double next =
        FiniteExtended(ExchangeStep(t, barrelStart, barrelEnd, shear / capacity, factors), "MeltTemperature");
    StorePoint(b, j + 1, next, EvaluatePoint(c, law, factor, j + 1, next));
    if (exchange > 0) {
      const long double barrel = capacity * ((long double)b.Temperature[j + 1] - t) - shear;
      b.MeltedBarrelHeat = FiniteExtended(b.MeltedBarrelHeat + barrel, "BarrelHeat");
    }
  }
  b.BarrelHeat = FiniteExtended(b.BarrelHeat + b.MeltedBarrelHeat, "BarrelHeat");
}

void IntegratePressure(const CommonValues& c, const AxialGrid& grid, double startPressure, BoundValues& b) {
  b.Pressure[0] = Finite((long double)startPressure * DynPerCm2PerMPa, "Pressure");
  for (int32_t j = 0; j < c.Tip; ++j) {
    b.Pressure[j + 1] = Finite(
        (long double)b.Pressure[j] + 0.5L * ((long double)b.Gradient[j] + b.Gradient[j + 1]) * StepLength(grid, j),
        "Pressure");
  }
}

// Unit changes of stored doubles: one correctly rounded double division.
double Mpa(double dynPerCm2, const char* quantity) { return Finite(dynPerCm2 / 1e7, quantity); }
double KW(long double ergPerSecond, const char* quantity) {
  return Finite(ergPerSecond / ErgPerSecondPerKW, quantity);
}

double MarginOf(const CommonValues& c, const BoundValues& b, const DieNeed& die) {
  return Mpa(Finite((long double)b.Pressure[c.Tip] - die.Pressure, "PressureMargin"), "PressureMargin");
}

void Summarize(const ModelState& state, const MeltInputs& inputs, const MeltViscosityLaw& law,
               const CommonValues& c, const BoundValues& b, MeltBoundSummary& s) {
  const AxialGrid& grid = state.Grid;
  int32_t peak = 0, low = 0;
  for (int32_t j = 1; j <= c.Tip; ++j) {
    if (b.Pressure[j] > b.Pressure[peak]) peak = j;
    if (b.Pressure[j] < b.Pressure[low]) low = j;
  }
  s.PeakPressure = Mpa(b.Pressure[peak], "PeakPressure");
  s.PeakPressureTurn = grid.Flight[peak];
  s.MinPressure = Mpa(b.Pressure[low], "MinPressure");
  s.MinPressureTurn = grid.Flight[low];
  s.TipPressure = Mpa(b.Pressure[c.Tip], "TipPressure");

  const DieNeed die = ComputeDieNeed(inputs, law, c.MeltFlow, b.Temperature[c.Tip], c.ShearRate[c.Tip]);
  s.DiePressure = Mpa(die.Pressure, "DiePressure");
  s.PressureMargin = MarginOf(c, b, die);
  s.DieShearRate = die.ShearRate;
  s.DieViscosity.reset();
  if (die.Viscosity) s.DieViscosity = Finite(*die.Viscosity / PoisePerPaS, "DieViscosity");

  s.MeltingZoneHeat = KW(b.PoolHeat, "MeltingZoneHeat");
  s.TipMeltTemperature = b.Temperature[c.Tip];
  long double power = 0;
  long double meltedPower = 0;  // over the melted length only
  for (int32_t j = 0; j < c.Tip; ++j) {
    const long double step = 0.5L * ((long double)b.ShaftPower[j] + b.ShaftPower[j + 1]) * StepLength(grid, j);
    power = FiniteExtended(power + step, "MeltConveyingPower");
    if (j >= c.MeltEnd) meltedPower = FiniteExtended(meltedPower + step, "EnergyResidual");
  }
  s.MeltConveyingPower = KW(power, "MeltConveyingPower");
  s.TotalScrewPower = Finite((long double)state.Profile.MeltingPower + s.MeltConveyingPower, "TotalScrewPower");
  s.MeltStartTemperature.reset();
  s.EnergyResidual.reset();
  if (c.MeltEnd <= c.Tip) {
    s.MeltStartTemperature = b.Temperature[c.MeltEnd];
    s.EnergyResidual =
        KW(meltedPower - c.HeatCapacityFlow * ((long double)b.Temperature[c.Tip] - b.Temperature[c.MeltEnd]) -
               (long double)c.MeltFlow * ((long double)b.Pressure[c.Tip] - b.Pressure[c.MeltEnd]) +
               b.MeltedBarrelHeat,
           "EnergyResidual");
  }
}

ScrewZone ZoneOf(const AxialGrid& grid, int32_t j) {
  if (j < grid.FeedPoints) return ScrewZone::Feed;
  if (j < grid.FeedPoints + grid.CompressionPoints) return ScrewZone::Compression;
  return ScrewZone::Metering;
}

void StoreExchange(const ModelState& state, const CommonValues& c, const BarrelCoefficient& k,
                   const BoundValues& best, MeltBarrelExchange& exchange) {
  exchange.HeatTransferCoefficient = Finite(k.Coefficient / 1000.0L, "HeatTransferCoefficient");
  exchange.ExposureTime = Finite(k.ExposureTime, "ExposureTime");
  exchange.RelaxationLength.reset();
  if (k.Coefficient > 0) {
    exchange.RelaxationLength =
        Finite(c.HeatCapacityFlow / (k.Coefficient * state.Operating.ChannelWidth), "RelaxationLength");
  }
  exchange.BarrelHeat = KW(best.BarrelHeat, "BarrelHeat");
  exchange.TipBarrelDifference =
      Finite((long double)best.Temperature[c.Tip] - state.Grid.BarrelTemp[c.Tip], "TipBarrelDifference");
}

void StoreRecord(const ModelState& state, const MeltInputs& inputs, const MeltViscosityLaw& law,
                 const CommonValues& c, const std::array<BoundValues, MeltBoundCount>& bounds, MeltStage& stage) {
  const AxialGrid& grid = state.Grid;
  stage.Points.assign(c.Tip + 1, MeltPoint{});
  MeltCommonFigures& common = stage.Common;
  common = MeltCommonFigures{};
  for (int32_t j = 0; j <= c.Tip; ++j) {
    MeltPoint& p = stage.Points[j];
    p.Index = j;
    p.Turn = grid.Flight[j];
    p.Zone = ZoneOf(grid, j);
    p.ChannelLength = grid.ChannelLength[j];
    p.Depth = grid.Depth[j];
    p.Melting = j < c.MeltEnd;
    p.Active = c.Active[j];
    p.FlowWidth = c.Width[j];
    p.MeltFlowRate = c.Flow[j];
    p.ShearRate = c.ShearRate[j];
    if (p.Active) {
      p.DragFlowRate = c.DragFlow[j];
      p.FlowRatio = Finite((long double)c.Flow[j] / c.DragFlow[j], "FlowRatio");
      p.DragShapeFactor = c.DragShape[j];
      p.PressureShapeFactor = c.PressureShape[j];
    } else {
      ++common.NarrowPoolCount;
      if (!common.NarrowPoolFirstTurn) common.NarrowPoolFirstTurn = p.Turn;
      common.NarrowPoolLastTurn = p.Turn;
    }
    for (int k = 0; k < MeltBoundCount; ++k) {
      const BoundValues& b = bounds[k];
      MeltBoundPoint& bp = p.Bounds[k];
      bp.Temperature = b.Temperature[j];
      bp.Viscosity = Finite(b.Viscosity[j] / 10.0, "Viscosity");
      bp.Gradient = Mpa(b.Gradient[j], "Gradient");
      bp.Pressure = Mpa(b.Pressure[j], "Pressure");
    }
  }

  const ModelInputs& in = state.Inputs;
  const OperatingPoint& op = state.Operating;
  const double tipDepth = grid.Depth[c.Tip];
  const ShapeFactors tipShapes = ChannelShapeFactors(tipDepth, op.ChannelWidth);
  common.DragCapacity = Finite(KgPerHourPerGramPerSecond * in.MeltDensity * 0.5L * c.DownChannelSpeed *
                                    op.ChannelWidth * tipDepth * tipShapes.Drag,
                                "DragCapacity");
  common.TipIndex = c.Tip;
  common.MeltEndIndex = c.MeltEnd;
  if (c.MeltEnd <= c.Tip) common.MeltEndTurn = grid.Flight[c.MeltEnd];
  common.MeltFlow = c.MeltFlow;

  for (int k = 0; k < MeltBoundCount; ++k) Summarize(state, inputs, law, c, bounds[k], stage.Summary[k]);
  // The die's conductance does not depend on the bound.
  common.DieConductance =
      ComputeDieNeed(inputs, law, c.MeltFlow, bounds[0].Temperature[c.Tip], c.ShearRate[c.Tip]).Conductance;
}

std::optional<std::string> UnusableValue(const ModelState& state) {
  if (!(state.Inputs.ViscM0 > 0)) return "Value of Viscosity Equation Para. (m0) is not correct!";
  if (!(state.Inputs.ViscN > 0)) return "Value of Viscosity Equation Para. (n) is not correct!";
  if (!(state.Operating.ChannelWidth > 0)) return "Value of Flight Width is not correct!";
  // The best estimate's exposure time would be infinite.
  if (!(state.Inputs.ScrewSpeed > 0)) return "Value of Number of Revolution is not correct!";
  return std::nullopt;
}

// Why the stage cannot run on this state, if it cannot.
std::optional<RunOutcome> StageRefusal(const ModelState& state) {
  if (std::optional<std::string> problem = UnusableValue(state)) return RunOutcome{RunResult::Rejected, *problem, {}};
  const int32_t tip = LastGridPoint(state.Grid);
  if (tip < 0 || tip >= MaxGridPoints) return RunOutcome{RunResult::Failed, "Axial grid does not fit its arrays", {}};
  return std::nullopt;
}

// The working values are large; a worker thread's stack need not hold them.
struct StageWork {
  MeltViscosityLaw Law;
  CommonValues Common;
  BarrelCoefficient Barrel;
  PoolViscosity Pool = PoolViscosity::BulkTemperature;
  std::array<BoundValues, MeltBoundCount> Bounds;
};

// What both a whole stage and one bound's margin start from (inside their
// FloatFaultScope, so from clear flags): the viscosity law in poise and the values both bounds share.
std::unique_ptr<StageWork> StartStage(const ModelState& state, const MeltInputs& inputs, PoolViscosity pool) {
  auto work = std::make_unique<StageWork>();
  work->Law = ViscosityLawOf(state.Inputs);
  ComputeCommonValues(state, work->Law, work->Common);
  work->Barrel = BarrelCoefficientOf(state, inputs);
  work->Pool = pool;
  return work;
}

void ComputeBound(const ModelState& state, const MeltInputs& inputs, const MeltViscosityLaw& law, StageWork& work,
                  MeltBound bound) {
  BoundValues& b = work.Bounds[static_cast<int>(bound)];
  switch (bound) {
    case MeltBound::Adiabatic: ComputeAdiabaticBound(state, work.Common, law, b); break;
    case MeltBound::Barrel: ComputeBarrelBound(state, work.Common, law, b); break;
    case MeltBound::BestEstimate:
      ComputeBestEstimate(state, work.Common, law, work.Barrel.Coefficient, work.Pool, b);
      break;
  }
  IntegratePressure(work.Common, state.Grid, inputs.MeltStartPressure, b);
}

}  // namespace

std::string MeltFaultText(const std::string& quantity) {
  if (quantity.empty()) return MeltFaultMessage;
  return std::string(MeltFaultMessage) + " while computing " + quantity;
}

const char* MeltBoundName(MeltBound bound) {
  switch (bound) {
    case MeltBound::Adiabatic: return "Adiabatic";
    case MeltBound::Barrel: return "Barrel";
    case MeltBound::BestEstimate: return "BestEstimate";
  }
  return "";
}

const char* ScrewZoneName(ScrewZone zone) {
  switch (zone) {
    case ScrewZone::Feed: return "feed";
    case ScrewZone::Compression: return "compression";
    case ScrewZone::Metering: return "metering";
  }
  return "";
}

RunOutcome RunMeltStage(const ModelState& state, const MeltInputs& inputs, MeltStage& stage, PoolViscosity pool) {
  stage.Points.clear();
  stage.Warnings.clear();
  if (std::optional<RunOutcome> refusal = StageRefusal(state)) return *refusal;
  const FloatFaultScope scope;
  try {
    const std::unique_ptr<StageWork> work = StartStage(state, inputs, pool);
    const MeltViscosityLaw& law = work->Law;
    ComputeBound(state, inputs, law, *work, MeltBound::Adiabatic);
    ComputeBound(state, inputs, law, *work, MeltBound::Barrel);
    ComputeBound(state, inputs, law, *work, MeltBound::BestEstimate);
    StoreRecord(state, inputs, law, work->Common, work->Bounds, stage);
    StoreExchange(state, work->Common, work->Barrel, work->Bounds[static_cast<int>(MeltBound::BestEstimate)],
                  stage.Exchange);
    CheckStageFlags();
    AddMeltWarnings(state, inputs, stage);
  } catch (const FloatFault& fault) {
    stage.Points.clear();
    stage.Warnings.clear();
    return {RunResult::Failed, MeltFaultText(fault.Quantity), DieFaultExplanation(inputs)};
  }
  return {RunResult::Completed, {}, {}};
}

RunOutcome MeltPressureMargin(const ModelState& state, const MeltInputs& inputs, MeltBound bound, double& margin) {
  if (std::optional<RunOutcome> refusal = StageRefusal(state)) return *refusal;
  const FloatFaultScope scope;
  try {
    const std::unique_ptr<StageWork> work = StartStage(state, inputs, PoolViscosity::BulkTemperature);
    const MeltViscosityLaw& law = work->Law;
    ComputeBound(state, inputs, law, *work, bound);
    const CommonValues& c = work->Common;
    const BoundValues& b = work->Bounds[static_cast<int>(bound)];
    margin = MarginOf(c, b, ComputeDieNeed(inputs, law, c.MeltFlow, b.Temperature[c.Tip], c.ShearRate[c.Tip]));
    CheckStageFlags();
  } catch (const FloatFault& fault) {
    return {RunResult::Failed, MeltFaultText(fault.Quantity), DieFaultExplanation(inputs)};
  }
  return {RunResult::Completed, {}, {}};
}

MeltRunOutcomes RunWithMeltStage(ModelState& state, const RunTexts& texts, int32_t unitIndex,
                                 UserMessages& messages, char decimalSeparator, ReportWriting report,
                                 const MeltTexts& meltTexts, MeltStage& stage) {
  MeltRunOutcomes outcomes;
  MeltInputs inputs;
  const std::optional<std::string> refusal = ConvertMeltInputs(meltTexts, decimalSeparator, inputs);
  outcomes.Run = RunCommand(state, texts, unitIndex, messages, decimalSeparator, report);
  if (refusal) {
    stage.Points.clear();
    stage.Warnings.clear();
    outcomes.Melt = RunOutcome{RunResult::Rejected, *refusal, {}};
  } else if (outcomes.Run.Result == RunResult::Completed) {
    outcomes.Melt = RunMeltStage(state, inputs, stage);
  }
  return outcomes;
}
