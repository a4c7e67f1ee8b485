#pragma once
// A panel in the classic bevelled style: an outer and an inner bevel, each
// raised, lowered or absent, and a caption painted in its own colour. The
// input rows, the picture frame and the completion dialog are built from it.

#include <QColor>
#include <QFrame>
#include <QString>

enum class TBevel { None, Raised, Lowered };

class TBevelPanel : public QFrame {
  Q_OBJECT
 public:
  explicit TBevelPanel(QWidget* parent = nullptr);

  void SetCaption(const QString& caption, Qt::Alignment alignment);
  QString Caption() const { return CaptionText; }
  Qt::Alignment CaptionAlignment() const { return Alignment; }

  void SetCaptionColor(const QColor& color);
  QColor CaptionColor() const { return TextColor; }

  void SetBevels(TBevel outer, TBevel inner, int width);
  TBevel OuterBevel() const { return Outer; }
  TBevel InnerBevel() const { return Inner; }
  int BevelWidth() const { return Width; }

  // The area inside both bevels, where a child that fills the panel goes.
  QRect InnerRect() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString CaptionText;
  Qt::Alignment Alignment = Qt::AlignCenter;
  QColor TextColor = Qt::black;
  TBevel Outer = TBevel::Raised;
  TBevel Inner = TBevel::None;
  int Width = 1;
};
