#pragma once
// The small picture Image1 shows after a completed run: X/W and QS/QT against
// the turns, the zones shaded, the end of melting marked, the verdict written
// above it and a warning mark when the summary warns.

#include <QPixmap>
#include <QSize>

struct RunSnapshot;

QPixmap DrawProfilePicture(const RunSnapshot& run, QSize size);
