#include "melt/melt_die.h"

#include "melt/shape_factors.h"
#include "melt/finite_values.h"

namespace {

constexpr long double Pi = 3.141592653589793;  // the double value
constexpr long double DynPerCm2PerMPa = 1e7L;

// A die with a conductance K: its wall shear rate, and the Rabinowitsch-type
// factor between the law's viscosity there and the die's apparent one.
DieNeed ThroughConductance(const MeltViscosityLaw& law, double flow, double tipTemperature, long double conductance,
                           long double shearRate, long double factor) {
  DieNeed need;
  need.Conductance = Finite(conductance, "DieConductance");
  need.ShearRate = Finite(shearRate, "DieShearRate");
  const long double viscosity = ViscosityAt(law, tipTemperature, ShearFactor(law, *need.ShearRate)) * factor;
  need.Viscosity = Finite(viscosity, "DieViscosity");
  need.Pressure = Finite((long double)*need.Viscosity * flow / *need.Conductance, "DiePressure");
  return need;
}

}  // namespace

DieNeed ComputeDieNeed(const MeltInputs& in, const MeltViscosityLaw& law, double flow, double tipTemperature,
                       double tipShearRate) {
  const long double n = law.N;
  switch (in.DieMode) {
    case DieMode::None: return {};
    case DieMode::HeadPressure: {
      DieNeed need;
      need.Pressure = Finite((long double)in.DieHeadPressure * DynPerCm2PerMPa, "DiePressure");
      return need;
    }
    case DieMode::Capillary: {
      const long double r = (long double)in.DieDiameter / 2.0L;
      const long double factor = (3.0L * n + 1.0L) / (4.0L * n);
      return ThroughConductance(law, flow, tipTemperature, Pi * r * r * r * r / (8.0L * in.DieLength),
                                factor * (4.0L * flow / (Pi * r * r * r)), factor);
    }
    case DieMode::Slit: {
      const long double w = in.DieSlitWidth;
      const long double g = in.DieSlitGap;
      const long double factor = (2.0L * n + 1.0L) / (3.0L * n);
      const double pressureShape = ChannelShapeFactors(in.DieSlitGap, in.DieSlitWidth).Pressure;
      return ThroughConductance(law, flow, tipTemperature, w * g * g * g * pressureShape / (12.0L * in.DieLength),
                                factor * (6.0L * flow / (w * g * g)), factor);
    }
    case DieMode::Constant:
      return ThroughConductance(law, flow, tipTemperature, in.DieConstant, tipShearRate, 1.0L);
  }
  return {};
}
