// SPDX-License-Identifier: GPL-3.0-or-later
#include "melt/barrel_exchange.h"

namespace {

constexpr long double Pi = 3.141592653589793238462643383279502884L;

}  // namespace

long double BarrelExposureTime(long double channelWidth, long double barrelSpeed, long double helixAngle) {
  return channelWidth / (barrelSpeed * std::sin(helixAngle));
}

long double BarrelHeatTransferCoefficient(long double factor, long double conductivity, long double density,
                                          long double specificHeat, long double exposureTime) {
  return factor * 2.0L * std::sqrt(conductivity * density * specificHeat / (Pi * exposureTime));
}

ExchangeFactors ExchangeFactorsOf(long double exchange) {
  // 1 - e^-x without cancellation; the mean with its limits: 1 at no
  // exchange (exactly, so the step is the adiabatic one bit for bit) and 0
  // at an infinite one.
  ExchangeFactors factors;
  if (exchange > 0) {
    factors.Approach = -std::expm1(-exchange);
    factors.Mean = std::isinf(exchange) ? 0.0L : factors.Approach / exchange;
  }
  return factors;
}

long double ExchangeStep(long double temperature, long double barrelStart, long double barrelEnd,
                         long double shearRise, const ExchangeFactors& factors) {
  return temperature + (barrelStart - temperature) * factors.Approach +
         (barrelEnd - barrelStart) * (1.0L - factors.Mean) + shearRise * factors.Mean;
}

long double ExchangeStep(long double temperature, long double barrelStart, long double barrelEnd,
                         long double shearRise, long double exchange) {
  return ExchangeStep(temperature, barrelStart, barrelEnd, shearRise, ExchangeFactorsOf(exchange));
}
