#pragma once
// The base font of both windows: the Japanese proportional Gothic face where
// it is installed, otherwise the platform's sans serif, 12 pixels high.

#include <QColor>
#include <QFont>

inline constexpr const char* WindowFontFamily = "IPAPGothic";

QFont WindowFont();
// The base font at another pixel size, for captions that are larger.
QFont WindowFont(int pixelSize);

// Sets the text colour roles a control paints its text with.
void SetTextColor(class QWidget* widget, const QColor& color);
