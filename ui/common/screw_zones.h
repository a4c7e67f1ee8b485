#pragma once
// The feed, compression and metering zones along the screw, in turns from the
// hopper end as the report's FLIGHT column counts them, with the tint both
// the picture and the charts shade them in.

#include <QColor>
#include <QString>
#include <array>

#include "model/model_state.h"

struct ScrewZone {
  QString Name;
  double Start = 0;  // turns
  double End = 0;
  QColor Tint;
};

std::array<ScrewZone, 3> ScrewZones(const ModelInputs& inputs);

// The lowest and highest X/W and QS/QT over the report's rows, widened to
// take in 0 and 1 so that the fractions are always seen against their full range.
struct FractionBounds {
  double Low = 0;
  double High = 1;
};
FractionBounds FractionRange(const ModelState& state);
