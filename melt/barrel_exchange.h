// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Heat exchange between the melt and the barrel for the best-estimate
// melt temperature: the barrel's coefficient from penetration theory (the
// flight wipes the layer the barrel heated back into the channel once per
// turn; the screw is taken as insulated) and one step of the energy balance
// solved exactly, so that any coefficient from 0 to infinity is stable on
// any grid. CGS throughout: erg, s, cm, K.

#include <cmath>

// The time a barrel point touches the melt between two passes of the
// flight (s): the channel width over the barrel speed across the channel.
long double BarrelExposureTime(long double channelWidth, long double barrelSpeed, long double helixAngle);

// The mean coefficient (erg/(s cm2 K)) of a layer suddenly exposed to the
// barrel for `exposureTime`, scaled by `factor`: factor x 2 sqrt(k rho c /
// (pi t)). conductivity erg/(s cm K), density g/cm3, specificHeat erg/(g K).
long double BarrelHeatTransferCoefficient(long double factor, long double conductivity, long double density,
                                          long double specificHeat, long double exposureTime);

// What a step's exchange x = h W dz / C >= 0 does: Approach = 1 - e^-x, how
// far the melt goes toward the barrel, and Mean = (1 - e^-x)/x, the share of
// the step's shear heat it keeps. Taken once per step size: the exponential
// costs more than the rest of a step.
struct ExchangeFactors {
  long double Approach = 0;
  long double Mean = 1;
};
ExchangeFactors ExchangeFactorsOf(long double exchange);

// The melt temperature after one step of dT/dz = s/C + (hW/C)(Tb(z) - T)
// with s, h, W, C constant and the barrel linear from `barrelStart` to
// `barrelEnd` over the step. shearRise = s dz / C, exchange = h W dz / C >= 0.
// No exchange gives temperature + shearRise exactly; an infinite exchange
// gives barrelEnd.
long double ExchangeStep(long double temperature, long double barrelStart, long double barrelEnd,
                         long double shearRise, const ExchangeFactors& factors);
long double ExchangeStep(long double temperature, long double barrelStart, long double barrelEnd,
                         long double shearRise, long double exchange);
