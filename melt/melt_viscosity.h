#pragma once
// The project's viscosity law in poise for the melt stage:
// m0 x U x exp(-b (T - T0)) x shearRate^(n - 1), U turning the run's
// viscosity unit into poise.

#include "model/model_state.h"

struct MeltViscosityLaw {
  long double Consistency = 0;  // m0 x U, poise s^(n-1)
  long double B = 0;
  long double N = 0;
  long double T0 = 0;
};

MeltViscosityLaw ViscosityLawOf(const ModelInputs& inputs);

// shearRate^(n - 1), the part a point's geometry fixes.
long double ShearFactor(const MeltViscosityLaw& law, double shearRate);

// exp(-b (T - T0)), the part the temperature fixes.
long double TemperatureFactor(const MeltViscosityLaw& law, long double temperature);

// The viscosity (poise) at `temperature` with a shear factor from ShearFactor.
long double ViscosityAt(const MeltViscosityLaw& law, long double temperature, long double shearFactor);

// TemperatureFactor kept for the last temperature asked for: most points of
// a bound share one temperature (the melting point, a constant barrel).
class TemperatureFactorCache {
 public:
  explicit TemperatureFactorCache(const MeltViscosityLaw& law) : law_(law) {}
  long double At(long double temperature) {
    // A kept factor passed its check when it was computed.
    if (!have_ || temperature != temperature_) {
      factor_ = TemperatureFactor(law_, temperature);
      temperature_ = temperature;
      have_ = true;
    }
    return factor_;
  }

 private:
  const MeltViscosityLaw& law_;
  bool have_ = false;
  long double temperature_ = 0;
  long double factor_ = 0;
};
