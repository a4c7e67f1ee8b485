// chung-icons DIR NAME
// Draws the program's icon, the channel picture without labels, into DIR as a
// hicolor icon theme tree: 48x48/apps/NAME.png, 256x256/apps/NAME.png and
// scalable/apps/NAME.svg. Runs at build time without a display.

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <cstdio>

#include "ui/common/channel_picture.h"

namespace {

bool WritePng(const QString& path, int side) {
  QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
  QPainter painter(&image);
  PaintChannelPicture(painter, QSizeF(side, side), false);
  painter.end();
  return image.save(path, "PNG");
}

// Drawn at the large PNG's size, so that hatching and outlines keep the
// proportions they have there.
bool WriteSvg(const QString& path, int side) {
  QSvgGenerator generator;
  generator.setFileName(path);
  generator.setSize(QSize(side, side));
  generator.setViewBox(QRect(0, 0, side, side));
  generator.setTitle(QStringLiteral("Chung Model Simulation"));
  generator.setDescription(QStringLiteral("A screw channel while the polymer melts"));
  QPainter painter;
  if (!painter.begin(&generator)) return false;
  PaintChannelPicture(painter, QSizeF(side, side), false);
  return painter.end();
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: chung-icons DIR NAME\n");
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  const QDir dir(QString::fromLocal8Bit(argv[1]));
  const QString name = QString::fromLocal8Bit(argv[2]);

  struct IconFile {
    QString Folder;
    QString Suffix;
    int Side;
  };
  for (const IconFile& file : {IconFile{QStringLiteral("48x48"), QStringLiteral(".png"), 48},
                               IconFile{QStringLiteral("256x256"), QStringLiteral(".png"), 256},
                               IconFile{QStringLiteral("scalable"), QStringLiteral(".svg"), 256}}) {
    const QString folder = dir.filePath(file.Folder + QStringLiteral("/apps"));
    const QString path = folder + QLatin1Char('/') + name + file.Suffix;
    const bool written = QDir().mkpath(folder) &&
                         (file.Suffix == QStringLiteral(".png") ? WritePng(path, file.Side)
                                                                : WriteSvg(path, file.Side));
    if (!written) {
      std::fprintf(stderr, "chung-icons: can not write %s\n", qPrintable(path));
      return 1;
    }
  }
  return 0;
}
