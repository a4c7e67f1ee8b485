#include "axial_grid.h"

#include <cmath>
#include <stdexcept>

#include "float_faults.h"

namespace {

// Extended-precision constants: the counts depend on them (1.6999 metering
// turns give 16 steps here but 17 in double arithmetic).
constexpr long double TurnGuard = 0.0001L;
constexpr long double FeedStep = 0.1L;
constexpr long double CompressionStep = 0.05L;
constexpr long double MeteringStep = 0.1L;
constexpr long double Pi = 3.14159265358979323846264338327950288L;

enum class Zone { Feed, Compression, Metering };

long double StepOf(Zone zone) { return zone == Zone::Compression ? CompressionStep : FeedStep; }

}  // namespace

GridCounts ComputeGridCounts(const ModelInputs& in) {
  GridCounts counts;
  counts.Feed = std::trunc(((long double)in.FeedTurns - in.DelayTurns + TurnGuard) / FeedStep);
  counts.Compression = std::trunc(((long double)in.CompressionTurns + TurnGuard) / CompressionStep);
  counts.Metering = std::trunc(((long double)in.MeteringTurns + TurnGuard) / MeteringStep);
  return counts;
}

int32_t LastGridPoint(const AxialGrid& grid) {
  return grid.FeedPoints + grid.CompressionPoints + grid.MeteringPoints;
}

double BarrelTemperatureAt(double b0, double b1, double b2, double x) {
  // exp(0) is exactly 1 and raises nothing: the common constant barrel law
  // (B2 = 0) and the first point skip the slow extended exponential.
  const long double exponent = (long double)b2 * x;
  const long double growth = exponent == 0 ? 1.0L : std::exp(exponent);
  return Checked((long double)b0 * (1.0L - (long double)b1 * growth), "BarrelTemp");
}

void BuildAxialGrid(ModelState& state) {
  const ModelInputs& in = state.Inputs;
  AxialGrid& grid = state.Grid;

  const GridCounts counts = ComputeGridCounts(in);
  const long double last = counts.Feed + counts.Compression + counts.Metering;
  if (counts.Feed < 0 || last >= MaxGridPoints) {
    // The run command refuses such inputs first; never write outside the arrays.
    throw std::logic_error("Axial grid does not fit its arrays");
  }
  grid.FeedPoints = static_cast<int32_t>(counts.Feed);
  grid.CompressionPoints = static_cast<int32_t>(counts.Compression);
  grid.MeteringPoints = static_cast<int32_t>(counts.Metering);

  const long double helix = state.Operating.HelixAngle;
  const long double turnChannelLength = Pi * in.ScrewDiameter / std::cos(helix);
  const long double helixSine = std::sin(helix);  // taken once: the sine is slow in extended precision
  const int32_t lastPoint = LastGridPoint(grid);

  grid.Flight[0] = in.DelayTurns;

  auto setPoint = [&](int32_t j, Zone zone, long double depth, long double channelLength) {
    grid.Depth[j] = Checked(depth, "Depth");
    grid.ChannelLength[j] = Checked(channelLength, "ChannelLength");
    const double x = Checked(helixSine * grid.ChannelLength[j], "BarrelTemp");
    grid.BarrelTemp[j] = BarrelTemperatureAt(in.BarrelB0, in.BarrelB1, in.BarrelB2, x);
    if (j < lastPoint) grid.Flight[j + 1] = Checked(grid.Flight[j] + StepOf(zone), "Flight");
  };

  for (int32_t k = 0; k < grid.FeedPoints; ++k) {
    setPoint(k, Zone::Feed, in.FeedDepth, k * FeedStep * turnChannelLength);
  }
  for (int32_t m = 0; m < grid.CompressionPoints; ++m) {
    const long double depth =
        in.FeedDepth - ((long double)in.FeedDepth - in.MeteringDepth) * m / grid.CompressionPoints;
    const long double length = ((long double)in.FeedTurns - in.DelayTurns) * turnChannelLength +
                               m * CompressionStep * turnChannelLength;
    setPoint(grid.FeedPoints + m, Zone::Compression, depth, length);
  }
  for (int32_t m = 0; m <= grid.MeteringPoints; ++m) {
    const long double length =
        ((long double)in.FeedTurns - in.DelayTurns + in.CompressionTurns) * turnChannelLength +
        m * MeteringStep * turnChannelLength;
    setPoint(grid.FeedPoints + grid.CompressionPoints + m, Zone::Metering, in.MeteringDepth, length);
  }
}
