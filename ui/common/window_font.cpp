#include "ui/common/window_font.h"

#include <QFontDatabase>
#include <QPalette>
#include <QWidget>

QFont WindowFont() { return WindowFont(12); }

QFont WindowFont(int pixelSize) {
  QFont font;
  if (QFontDatabase::families().contains(QString::fromLatin1(WindowFontFamily))) {
    font = QFont(QString::fromLatin1(WindowFontFamily));
  } else {
    font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setStyleHint(QFont::SansSerif);
  }
  font.setPixelSize(pixelSize);
  font.setBold(false);
  font.setItalic(false);
  return font;
}

void SetTextColor(QWidget* widget, const QColor& color) {
  QPalette palette = widget->palette();
  for (auto group : {QPalette::Active, QPalette::Inactive}) {
    palette.setColor(group, QPalette::WindowText, color);
    palette.setColor(group, QPalette::Text, color);
    palette.setColor(group, QPalette::ButtonText, color);
  }
  widget->setPalette(palette);
}
