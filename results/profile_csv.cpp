#include "results/profile_csv.h"

#include <algorithm>
#include "results/number_text.h"
#include "results/run_summary.h"

namespace {

// The report's six columns first, in its order, then what else the profile holds.
constexpr const char* Header =
    "point,flight (turns),depth (cm),film thickness (cm),X/W (-),QS/QT (-),"
    "barrel temperature (\u00B0C),axial distance (cm),channel length (cm),bed width (cm),"
    "solid flow (cm3/s)\n";

}  // namespace

std::string ProfileCsv(const ModelState& state) {
  const AxialGrid& grid = state.Grid;
  const MeltingProfile& profile = state.Profile;
  const int rows = std::clamp<int>(profile.RowCount, 0, MaxGridPoints);

  std::string csv = Header;
  for (int i = 0; i < rows; ++i) {
    const double values[] = {grid.Flight[i],           grid.Depth[i],          profile.FilmThickness[i],
                             profile.WidthRatio[i],    profile.SolidFraction[i], grid.BarrelTemp[i],
                             AxialDistanceAt(state, i), grid.ChannelLength[i], profile.BedWidth[i],
                             profile.SolidFlow[i]};
    csv += std::to_string(i);
    for (double value : values) {
      csv += ',';
      csv += RoundTripText(value);
    }
    csv += '\n';
  }
  return csv;
}
