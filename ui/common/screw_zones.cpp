#include "ui/common/screw_zones.h"

#include <algorithm>

std::array<ScrewZone, 3> ScrewZones(const ModelInputs& inputs) {
  const double feedEnd = inputs.FeedTurns;
  const double compressionEnd = feedEnd + inputs.CompressionTurns;
  const double screwEnd = compressionEnd + inputs.MeteringTurns;
  return {{
      {QStringLiteral("feed zone"), 0.0, feedEnd, QColor(214, 228, 247)},
      {QStringLiteral("compression zone"), feedEnd, compressionEnd, QColor(250, 236, 200)},
      {QStringLiteral("metering zone"), compressionEnd, screwEnd, QColor(214, 239, 214)},
  }};
}

FractionBounds FractionRange(const ModelState& state) {
  FractionBounds range;
  const int rows = std::clamp<int>(state.Profile.RowCount, 0, MaxGridPoints);
  for (int i = 0; i < rows; ++i) {
    for (double value : {state.Profile.WidthRatio[i], state.Profile.SolidFraction[i]}) {
      range.Low = std::min(range.Low, value);
      range.High = std::max(range.High, value);
    }
  }
  return range;
}
