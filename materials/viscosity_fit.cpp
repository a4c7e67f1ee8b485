// SPDX-License-Identifier: GPL-3.0-or-later
#include "materials/viscosity_fit.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <sstream>

#include "model/float_faults.h"

namespace {

constexpr long double KelvinOffset = 273.15L;

// The Cross law's viscosity from its zero-shear viscosity.
long double CrossViscosity(long double zeroShear, long double shearRate, const SourceViscosityLaw& law) {
  return zeroShear / (1.0L + std::pow(zeroShear * shearRate / law.TauStar, 1.0L - law.N));
}

long double SourceViscosityExtended(const SourceViscosityLaw& law, long double temperature, long double shearRate) {
  const long double kelvin = temperature + KelvinOffset;
  switch (law.Kind) {
    case SourceLawKind::CrossWlf: {
      const long double above = kelvin - law.D2;
      return CrossViscosity(law.D1 * std::exp(-law.A1 * above / (law.A2 + above)), shearRate, law);
    }
    case SourceLawKind::CrossArrhenius:
      return CrossViscosity(law.B * std::exp(law.Tb / kelvin), shearRate, law);
    case SourceLawKind::PowerLaw:
      break;
  }
  return law.K * std::exp(-law.Beta * temperature) * std::pow(shearRate, law.N - 1.0L);
}

struct Sample {
  long double Temperature;  // T - T0
  long double LogShearRate;
  long double LogViscosity;
};

// Least squares of ln mu = c0 + c1 (T - T0) + c2 ln gamma: the normal
// equations solved by elimination. Throws FloatFault; an exactly singular
// system (one temperature, one shear rate) is refused before it is solved.
ViscosityFit FitSamples(const std::vector<Sample>& samples, double t0) {
  long double a[3][4] = {};
  for (const Sample& s : samples) {
    const long double x[3] = {1.0L, s.Temperature, s.LogShearRate};
    for (int r = 0; r < 3; ++r) {
      for (int c = 0; c < 3; ++c) a[r][c] += x[r] * x[c];
      a[r][3] += x[r] * s.LogViscosity;
    }
  }
  // The normal equations' matrix is symmetric positive definite: elimination
  // needs no pivoting.
  for (int col = 0; col < 3; ++col) {
    for (int r = col + 1; r < 3; ++r) {
      const long double factor = CheckedExtended(a[r][col] / a[col][col], "the fit's elimination");
      for (int c = col; c < 4; ++c) a[r][c] -= factor * a[col][c];
    }
  }
  long double coefficient[3];
  for (int r = 2; r >= 0; --r) {
    long double sum = a[r][3];
    for (int c = r + 1; c < 3; ++c) sum -= a[r][c] * coefficient[c];
    coefficient[r] = CheckedExtended(sum / a[r][r], "the fit's coefficients");
  }
  ViscosityFit fit;
  fit.M0 = Checked(std::exp(coefficient[0]), "m0");
  fit.B = Checked(-coefficient[1], "b");
  fit.N = Checked(coefficient[2] + 1.0L, "n");
  fit.T0 = t0;
  long double squares = 0, largest = 0;
  for (const Sample& s : samples) {
    const long double fitted = coefficient[0] + coefficient[1] * s.Temperature + coefficient[2] * s.LogShearRate;
    const long double error = std::fabs(std::expm1(fitted - s.LogViscosity));
    squares += error * error;
    largest = std::max(largest, error);
  }
  fit.RmsPercent = Checked(100.0L * std::sqrt(squares / samples.size()), "the fit's rms error");
  fit.MaxPercent = Checked(100.0L * largest, "the fit's largest error");
  fit.Fitted = true;
  return fit;
}

ViscosityFit Refused(std::string problem) {
  ViscosityFit fit;
  fit.Problem = std::move(problem);
  return fit;
}

// Runs a fit as a computation of its own: it starts from clear flags and a
// fault ends it with the fault's text.
template <typename Compute>
ViscosityFit CheckedFit(Compute compute) {
  ClearFloatFaults();
  try {
    return compute();
  } catch (const FloatFault& fault) {
    return Refused(std::string("the fit failed: ") + fault.what());
  }
}

bool DistinctValues(const std::vector<ViscosityPoint>& points, double ViscosityPoint::*member) {
  return std::any_of(points.begin(), points.end(),
                     [&](const ViscosityPoint& p) { return p.*member != points.front().*member; });
}

}  // namespace

double SourceViscosity(const SourceViscosityLaw& law, double temperature, double shearRate) {
  return static_cast<double>(SourceViscosityExtended(law, temperature, shearRate));
}

FitGrid MaterialFitGrid(const Material& material) {
  FitGrid grid;
  grid.Temperature = material.Fit.Temperature;
  grid.ShearRate = material.Fit.ShearRate;
  grid.T0 = material.Fit.Temperature.High;
  return grid;
}

ViscosityFit FitSourceLaw(const SourceViscosityLaw& law, const FitGrid& grid) {
  if (grid.Points < 2) return Refused("the fit needs 2 points or more along each axis");
  if (!(grid.Temperature.Low < grid.Temperature.High) || !(grid.ShearRate.Low > 0) ||
      !(grid.ShearRate.Low < grid.ShearRate.High)) {
    return Refused("the fit window must run from a lower to a higher temperature and shear rate above 0");
  }
  return CheckedFit([&] {
    std::vector<Sample> samples;
    samples.reserve(static_cast<std::size_t>(grid.Points) * grid.Points);
    const long double lowShear = std::log((long double)grid.ShearRate.Low);
    const long double highShear = std::log((long double)grid.ShearRate.High);
    for (int i = 0; i < grid.Points; ++i) {
      const long double temperature = grid.Temperature.Low + (grid.Temperature.High - (long double)grid.Temperature.Low) *
                                                                 i / (grid.Points - 1);
      for (int j = 0; j < grid.Points; ++j) {
        const long double logShear = lowShear + (highShear - lowShear) * j / (grid.Points - 1);
        const long double viscosity =
            CheckedExtended(SourceViscosityExtended(law, temperature, std::exp(logShear)), "the source viscosity");
        if (!(viscosity > 0)) throw FloatFault("the source law gives a viscosity that is not above 0");
        samples.push_back({temperature - grid.T0, logShear, std::log(viscosity)});
      }
    }
    return FitSamples(samples, grid.T0);
  });
}

ViscosityFit FitViscosityPoints(const std::vector<ViscosityPoint>& points, std::optional<double> t0) {
  if (points.size() < 3) return Refused("the fit needs 3 measured points or more");
  for (std::size_t k = 0; k < points.size(); ++k) {
    const ViscosityPoint& p = points[k];
    if (!std::isfinite(p.Temperature) || !(p.ShearRate > 0) || !(p.Viscosity > 0) || !std::isfinite(p.ShearRate) ||
        !std::isfinite(p.Viscosity)) {
      return Refused("point " + std::to_string(k + 1) + " needs a finite temperature and a shear rate and viscosity above 0");
    }
  }
  if (!DistinctValues(points, &ViscosityPoint::Temperature)) return Refused("the points need two temperatures or more");
  if (!DistinctValues(points, &ViscosityPoint::ShearRate)) return Refused("the points need two shear rates or more");
  const double reference =
      t0.value_or(std::max_element(points.begin(), points.end(), [](const auto& a, const auto& b) {
                    return a.Temperature < b.Temperature;
                  })->Temperature);
  return CheckedFit([&] {
    std::vector<Sample> samples;
    for (const ViscosityPoint& p : points) {
      samples.push_back({(long double)p.Temperature - reference, std::log((long double)p.ShearRate),
                         std::log((long double)p.Viscosity)});
    }
    return FitSamples(samples, reference);
  });
}

std::optional<std::vector<ViscosityPoint>> ParseViscosityPoints(const std::string& text, std::string& error) {
  std::vector<ViscosityPoint> points;
  std::istringstream lines(text);
  std::string line;
  bool headerAllowed = true;
  for (int number = 1; std::getline(lines, line); ++number) {
    // A spreadsheet of a decimal-comma locale separates its cells with tabs
    // or semicolons: its commas are decimal points.
    const bool commaIsDecimal = line.find_first_of("\t;") != std::string::npos;
    for (char& c : line) {
      if (c == ',') {
        c = commaIsDecimal ? '.' : ' ';
      } else if (c == '\t' || c == ';' || c == '\r') {
        c = ' ';
      }
    }
    const auto first = line.find_first_not_of(' ');
    if (first == std::string::npos || line[first] == '#') continue;
    double values[3];
    int count = 0;
    std::size_t at = first;
    bool readable = true;
    while (at < line.size()) {
      const std::size_t end = std::min(line.find(' ', at), line.size());
      double value = 0;
      const auto result = std::from_chars(line.data() + at, line.data() + end, value);
      if (result.ec != std::errc() || result.ptr != line.data() + end || count == 3) readable = false;
      if (readable) values[count++] = value;
      at = line.find_first_not_of(' ', end);
      if (at == std::string::npos) break;
    }
    // A spreadsheet's column titles come first.
    const bool header = headerAllowed && !readable && count == 0;
    headerAllowed = false;
    if (header) continue;
    if (!readable || count != 3) {
      error = "line " + std::to_string(number) +
              " must hold three numbers: temperature (\u00B0C), shear rate (1/s) and viscosity (Pa.s)";
      return std::nullopt;
    }
    points.push_back({values[0], values[1], values[2]});
  }
  return points;
}

double RoundSignificant(double value, int digits) {
  if (value == 0 || !std::isfinite(value)) return value;
  const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
  return RoundDecimals(value, digits - 1 - exponent);
}

double RoundDecimals(double value, int decimals) {
  // Integral powers of ten are exact, so the result is the nearest double to
  // the rounded decimal.
  if (decimals >= 0) {
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
  }
  const double scale = std::pow(10.0, -decimals);
  return std::round(value / scale) * scale;
}

void StoreFit(const ViscosityFit& fit, ViscosityUnit unit, Material& material) {
  const double m0 = unit == ViscosityUnit::PaS ? fit.M0 : static_cast<double>(fit.M0 / PascalPerGramForcePerCm2);
  material.M0Unit = unit;
  material.Values[static_cast<int>(MaterialValue::ViscM0)] = RoundSignificant(m0, 3);
  material.Values[static_cast<int>(MaterialValue::ViscB)] = RoundSignificant(fit.B, 3);
  material.Values[static_cast<int>(MaterialValue::ViscN)] = RoundDecimals(fit.N, 4);
  material.Values[static_cast<int>(MaterialValue::ViscT0)] = fit.T0;
  material.Fit.RmsPercent = RoundDecimals(fit.RmsPercent, 1);
  material.Fit.MaxPercent = RoundDecimals(fit.MaxPercent, 1);
}
