#pragma once
// The window's picture and icon: a cross-section of the screw channel while
// the polymer melts (barrel, melt film, melt pool, solid bed, flights, root).

#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QSize>
#include <QSizeF>

// Paints the picture into (0, 0, size) with any painter, raster or SVG. It
// sets no clip: Qt's SVG generator does not write clips, so every part is
// drawn over what it must hide.
void PaintChannelPicture(QPainter& painter, QSizeF size, bool withLabels);

// The picture at the given size; labels are drawn when there is room.
QPixmap DrawChannelPicture(QSize size, bool withLabels);

// The same motif, without labels, at the usual icon sizes.
QIcon ChannelIcon();
