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

long double ExchangeStep(long double temperature, long double barrelStart, long double barrelEnd,
                         long double shearRise, long double exchange) {
  // 1 - e^-x without cancellation, and (1 - e^-x)/x with its limits: 1 at
  // no exchange (exactly, so the step is the adiabatic one bit for bit) and
  // 0 at an infinite one.
  long double approach = 0;  // 1 - e^-x
  long double mean = 1;      // (1 - e^-x)/x
  if (exchange > 0) {
    approach = -std::expm1(-exchange);
    mean = std::isinf(exchange) ? 0.0L : approach / exchange;
  }
  return temperature + (barrelStart - temperature) * approach + (barrelEnd - barrelStart) * (1.0L - mean) +
         shearRise * mean;
}
