#pragma once
// The window's picture and icon: a cross-section of the screw channel while
// the polymer melts (barrel, melt film, melt pool, solid bed, flights, root).

#include <QIcon>
#include <QPixmap>
#include <QSize>

// The picture at the given size; labels are drawn when there is room.
QPixmap DrawChannelPicture(QSize size, bool withLabels);

// The same motif, without labels, at the usual icon sizes.
QIcon ChannelIcon();
