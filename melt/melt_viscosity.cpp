#include "melt/melt_viscosity.h"

#include <cmath>

#include "model/float_faults.h"

namespace {

constexpr long double PoisePerPaS = 10.0L;
constexpr long double PoisePerGfSPerCm2 = 980.665L;  // dyn per gram-force

}  // namespace

MeltViscosityLaw ViscosityLawOf(const ModelInputs& in) {
  const long double unit = in.ViscosityUnit == ViscosityUnit::PaS ? PoisePerPaS : PoisePerGfSPerCm2;
  return {(long double)in.ViscM0 * unit, in.ViscB, in.ViscN, in.ViscT0};
}

long double ShearFactor(const MeltViscosityLaw& law, double shearRate) {
  return CheckedExtended(std::pow((long double)shearRate, law.N - 1.0L), "ShearFactor");
}

long double TemperatureFactor(const MeltViscosityLaw& law, long double temperature) {
  return CheckedExtended(std::exp(-law.B * (temperature - law.T0)), "Viscosity");
}

long double ViscosityAt(const MeltViscosityLaw& law, long double temperature, long double shearFactor) {
  return CheckedExtended(law.Consistency * TemperatureFactor(law, temperature) * shearFactor, "Viscosity");
}

long double TemperatureFactorCache::At(long double temperature) {
  // A kept factor passed its check when it was computed.
  if (!have_ || temperature != temperature_) {
    factor_ = TemperatureFactor(law_, temperature);
    temperature_ = temperature;
    have_ = true;
  }
  return factor_;
}
