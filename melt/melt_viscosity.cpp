#include "melt/melt_viscosity.h"

#include <cmath>

#include "melt/finite_values.h"

namespace {

constexpr long double PoisePerPaS = 10.0L;
constexpr long double PoisePerGfSPerCm2 = 980.665L;  // dyn per gram-force

}  // namespace

MeltViscosityLaw ViscosityLawOf(const ModelInputs& in) {
  const long double unit = in.ViscosityUnit == ViscosityUnit::PaS ? PoisePerPaS : PoisePerGfSPerCm2;
  return {(long double)in.ViscM0 * unit, in.ViscB, in.ViscN, in.ViscT0};
}

long double ShearFactor(const MeltViscosityLaw& law, double shearRate) {
  // exp and log rather than pow: as precise in extended precision, in a
  // fraction of the time.
  const long double exponent = law.N - 1.0L;
  if (exponent == 0) return 1.0L;
  if (shearRate == 0 && exponent > 0) return 0.0L;
  return FiniteExtended(std::exp(exponent * std::log((long double)shearRate)), "ShearFactor");
}

long double TemperatureFactor(const MeltViscosityLaw& law, long double temperature) {
  return FiniteExtended(std::exp(-law.B * (temperature - law.T0)), "Viscosity");
}

long double ViscosityAt(const MeltViscosityLaw& law, long double temperature, long double shearFactor) {
  return FiniteExtended(law.Consistency * TemperatureFactor(law, temperature) * shearFactor, "Viscosity");
}
