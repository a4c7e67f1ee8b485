#include "ui/common/bevel_panel.h"

#include <QPainter>
#include <QPalette>
#include <qdrawutil.h>

TBevelPanel::TBevelPanel(QWidget* parent) : QFrame(parent) {
  setAutoFillBackground(true);
  setFocusPolicy(Qt::NoFocus);
}

void TBevelPanel::SetCaption(const QString& caption, Qt::Alignment alignment) {
  CaptionText = caption;
  Alignment = alignment;
  update();
}

void TBevelPanel::SetCaptionColor(const QColor& color) {
  TextColor = color;
  update();
}

void TBevelPanel::SetBevels(TBevel outer, TBevel inner, int width) {
  Outer = outer;
  Inner = inner;
  Width = width;
  update();
}

QRect TBevelPanel::InnerRect() const {
  int inset = 0;
  if (Outer != TBevel::None) inset += Width;
  if (Inner != TBevel::None) inset += Width;
  return rect().adjusted(inset, inset, -inset, -inset);
}

void TBevelPanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QRect area = rect();
  auto drawBevel = [&](TBevel bevel) {
    if (bevel == TBevel::None) return;
    qDrawShadePanel(&painter, area, palette(), bevel == TBevel::Lowered, Width);
    area.adjust(Width, Width, -Width, -Width);
  };
  drawBevel(Outer);
  drawBevel(Inner);
  if (CaptionText.isEmpty()) return;
  painter.setPen(isEnabled() ? TextColor : palette().color(QPalette::Disabled, QPalette::WindowText));
  painter.setFont(font());
  // Blanks in the captions are part of the layout, so keep them all.
  painter.drawText(area, int(Alignment) | Qt::TextSingleLine, CaptionText);
}
