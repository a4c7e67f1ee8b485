#include "melting_profile.h"

#include <cmath>
#include <cstdint>

#include "axial_grid.h"
#include "float_faults.h"

namespace {

constexpr long double Pi = 3.1415926535897932385L;
constexpr long double CalPerSecondToKW = 0.00418605L;
constexpr long double FiveSixths = 5.0L / 6.0L;
constexpr long double EndOfMeltingFraction = 0.02L;
constexpr long double WattsPerKW = 1000.0L;

long double IntegerPower(long double x, uint32_t exponent, const char* quantity) {
  long double result = 1.0L;
  while (exponent != 0) {
    if (exponent & 1u) result = CheckedExtended(result * x, quantity);
    exponent >>= 1;
    if (exponent != 0) x = CheckedExtended(x * x, quantity);
  }
  return result;
}

// Powers of one base x: the logarithm that non-integral exponents need is
// taken once for all of them. Faults are named after the quantity whose
// formula asks for the power.
class PowersOf {
 public:
  explicit PowersOf(double x) : x_(x) {}

  double Power(double y, const char* quantity) {
    if (y == 0) return 1.0;
    if (x_ == 0 && y > 0) return 0.0;
    if (std::trunc(y) == y && std::fabs(y) <= 2147483647.0) {
      const uint32_t magnitude = static_cast<uint32_t>(std::fabs(y));
      const long double product = IntegerPower(x_, magnitude, quantity);
      return Checked(y < 0 ? 1.0L / product : product, quantity);
    }
    // A logarithm that faulted has ended the run at the first power's check,
    // so a kept one is always a good one.
    if (!haveLog_) {
      log_ = std::log((long double)x_);
      haveLog_ = true;
    }
    return Checked(std::exp((long double)y * log_), quantity);
  }

 private:
  double x_;
  bool haveLog_ = false;
  long double log_ = 0;
};

double PowerFor(double x, double y, const char* quantity) { return PowersOf(x).Power(y, quantity); }

// exp(-b (T - T0)) of the viscosity law, kept for the last temperature asked
// for: the barrel temperature of a point serves the film viscosity of one
// step and the barrel consistency of the step before, and a constant barrel
// law gives every point the same temperature. A kept value is one whose
// formula passed its fault check.
class TemperatureFactor {
 public:
  TemperatureFactor(double b, double t0) : b_(b), t0_(t0) {}

  long double At(double t) {
    if (!have_ || t != t_) {
      factor_ = std::exp(-(long double)b_ * ((long double)t - t0_));
      t_ = t;
      have_ = true;
    }
    return factor_;
  }

 private:
  double b_, t0_;
  bool have_ = false;
  double t_ = 0;
  long double factor_ = 0;
};

// exp(g) and exp(-g) for the viscosity-temperature group g of a step, kept
// while g does not change from one step to the next (a constant barrel law).
struct GroupExponentials {
  bool Have = false;
  double Group = 0;
  long double Up = 0;    // exp(g)
  long double Down = 0;  // exp(-g), taken later in the step
  bool HaveDown = false;
};

// m0 x exp(-b x (T - T0)) x shearRate^(n - 1). The shear factor comes first:
// its check must not see what the exponential of the temperature raises.
double FilmViscosityFor(double m0, TemperatureFactor& temperatureFactor, double t, double n,
                        PowersOf& shearRate) {
  const double shearFactor = shearRate.Power(Checked((long double)n - 1.0L, "FilmViscosity"), "FilmViscosity");
  return Checked((long double)m0 * temperatureFactor.At(t) * shearFactor, "FilmViscosity");
}

// The film formula at the grid's last point, which no step computes; 0 where
// the barrel is not hotter than the melting point or the formula has no value.
double FinalFilmThickness(const ModelState& state, int32_t point) {
  const ModelInputs& in = state.Inputs;
  const long double dT = (long double)state.Grid.BarrelTemp[point] - in.MeltingPoint;
  const long double denominator =
      (long double)in.MeltDensity * state.Operating.MeltingHeat * state.Operating.BedVelocity;
  if (!(dT > 0) || !(denominator > 0)) return 0.0;
  const long double radicand = dT * in.MeltConductivity * state.Profile.BedSpan[point] / denominator;
  if (!(radicand >= 0)) return 0.0;
  return Checked(std::sqrt(radicand), "FilmThickness");
}

}  // namespace

double Power(double x, double y) { return PowerFor(x, y, "Power"); }

void MeltViscosity(double m0, double b, double n, double t0, double t, double shearRate, double& viscosity) {
  PowersOf shearPowers(shearRate);
  TemperatureFactor temperatureFactor(b, t0);
  viscosity = FilmViscosityFor(m0, temperatureFactor, t, n, shearPowers);
}

void ComputeMeltingProfile(ModelState& state) {
  const ModelInputs& in = state.Inputs;
  OperatingPoint& op = state.Operating;
  const AxialGrid& grid = state.Grid;
  MeltingProfile& mp = state.Profile;
  MeltingWorkingValues& w = state.Working;

  // The angles do not change along the walk; their sines and cosine are
  // taken once (the trigonometric functions dominate the time of a step).
  const long double bedAngleSine = std::sin((long double)op.ConveyingAngle + op.HelixAngle);
  const long double conveyingSine = std::sin((long double)op.ConveyingAngle);
  const long double conveyingCosine = std::cos((long double)op.ConveyingAngle);

  // Set-up.
  w.ChannelSpan = Checked(op.ChannelWidth / bedAngleSine, "ChannelSpan");
  mp.BedSpan[0] = Checked((long double)w.ChannelSpan * in.StartWidthRatio, "BedSpan");
  mp.BedWidth[0] = Checked((long double)op.ChannelWidth * in.StartWidthRatio, "BedWidth");
  mp.SolidFlow[0] = Checked((long double)op.SolidVolumeRate * in.StartWidthRatio, "SolidFlow");
  mp.WidthRatio[0] = in.StartWidthRatio;
  mp.SolidFraction[0] = in.StartWidthRatio;
  op.BarrelSpeed = Checked(Pi * in.ScrewDiameter * op.RevsPerSecond, "BarrelSpeed");
  mp.MeltingPower = 0;
  mp.NetMeltingEnergy =
      Checked((((long double)in.MeltingPoint - op.MeltStartBedTemp) * in.SolidSpecificHeat + in.HeatOfFusion) *
                  CalPerSecondToKW * op.MassRate,
              "NetMeltingEnergy");

  const int32_t lastPoint = LastGridPoint(grid);
  const long double u = op.BedVelocity;
  const long double n = in.ViscN;
  TemperatureFactor temperatureFactor(in.ViscB, in.ViscT0);
  GroupExponentials group;

  for (int32_t i = 0; i < lastPoint; ++i) {
    w.Step = i;
    const long double dT = (long double)grid.BarrelTemp[i] - in.MeltingPoint;
    const long double dz = (long double)grid.ChannelLength[i + 1] - grid.ChannelLength[i];

    mp.FilmThickness[i] = Checked(
        std::sqrt(dT * in.MeltConductivity * mp.BedSpan[i] / ((long double)in.MeltDensity * op.MeltingHeat * u)),
        "FilmThickness");
    const long double film = mp.FilmThickness[i];

    w.ViscTempGroup = Checked(dT * in.ViscB / n, "ViscTempGroup");
    const long double g = w.ViscTempGroup;
    if (!group.Have || w.ViscTempGroup != group.Group) {
      group = {true, w.ViscTempGroup, std::exp(g), 0, false};
    }
    const long double expG = group.Up;
    w.ViscTempFactor = Checked(g * (1.0L - expG) / ((g + 1.0L) - expG), "ViscTempFactor");
    const long double bigG = w.ViscTempFactor;

    const double shearRate = Checked(u / film, "FilmViscosity");
    PowersOf shearPowers(shearRate);
    w.FilmViscosity = FilmViscosityFor(in.ViscM0, temperatureFactor, grid.BarrelTemp[i], in.ViscN, shearPowers);

    w.ConvectionGroup = Checked(film * film * u * in.MeltDensity * in.MeltSpecificHeat /
                                    ((long double)in.MeltConductivity * mp.BedSpan[i]),
                                "ConvectionGroup");
    w.ViscousHeatingGroup =
        Checked((long double)state.ViscousHeatFactor * w.FilmViscosity * u * u / (dT * in.MeltConductivity),
                "ViscousHeatingGroup");
    const long double convection = w.ConvectionGroup;
    w.MeltingRootFactor =
        Checked(std::sqrt(std::log(FiveSixths * convection * ((long double)w.ViscousHeatingGroup / 2.0L + 1.0L) +
                                   1.0L) *
                          (2.0L * bigG / (FiveSixths * convection))),
                "MeltingRootFactor");
    w.MeltingRateRatio =
        Checked((film / mp.BedSpan[i]) * ((long double)w.MeltingRootFactor / bigG), "MeltingRateRatio");
    w.MeltingRate = Checked((long double)w.MeltingRateRatio * in.MeltDensity * u, "MeltingRate");
    w.MeltedVolume =
        Checked((long double)w.MeltingRate * mp.BedWidth[i] * dz / in.SolidDensity, "MeltedVolume");
    mp.SolidFlow[i + 1] = Checked((long double)mp.SolidFlow[i] - w.MeltedVolume, "SolidFlow");

    w.BarrelConsistency =
        Checked((long double)in.ViscM0 * temperatureFactor.At(grid.BarrelTemp[i + 1]), "BarrelConsistency");
    if (!group.HaveDown) {
      group.Down = std::exp(-g);
      group.HaveDown = true;
    }
    const double slipBase = Checked(g / ((1.0L - group.Down) * (long double)w.MeltingRootFactor), "ShearTerm");
    const double slipPower = PowerFor(slipBase, in.ViscN, "ShearTerm");
    const double shearPower = shearPowers.Power(in.ViscN, "ShearTerm");
    w.ShearTerm = Checked(2.0L * slipPower * shearPower / (2.0L - n), "ShearTerm");
    w.StepShearForce = Checked(conveyingCosine * state.PowerFactor * w.ShearTerm *
                                   w.BarrelConsistency * mp.BedWidth[i] * dz,
                               "StepShearForce");
    w.StepPower = Checked((long double)w.StepShearForce * op.BarrelSpeed / WattsPerKW, "StepPower");
    mp.MeltingPower = Checked((long double)mp.MeltingPower + w.StepPower, "MeltingPower");

    if ((long double)mp.SolidFlow[i + 1] / op.SolidVolumeRate < EndOfMeltingFraction) {
      mp.RowCount = i + 1;
      return;
    }

    mp.BedWidth[i + 1] =
        Checked(((long double)mp.SolidFlow[i + 1] / op.RevsPerSecond) /
                    (conveyingSine * Pi * grid.Depth[i + 1] *
                     ((long double)in.ScrewDiameter - grid.Depth[i + 1]) / bedAngleSine),
                "BedWidth");
    mp.WidthRatio[i + 1] = Checked((long double)mp.BedWidth[i + 1] / op.ChannelWidth, "WidthRatio");
    mp.SolidFraction[i + 1] = Checked((long double)mp.SolidFlow[i + 1] / op.SolidVolumeRate, "SolidFraction");
    mp.BedSpan[i + 1] = Checked((long double)mp.BedWidth[i + 1] / bedAngleSine, "BedSpan");
  }

  if (lastPoint >= 0) {
    // The walk reached the end of the grid: the last row shows the film of its
    // own point rather than a value left by an earlier run.
    mp.FilmThickness[lastPoint] = FinalFilmThickness(state, lastPoint);
  }
  mp.RowCount = lastPoint + 1;
}
