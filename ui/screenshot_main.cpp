// chung-screenshot OUTPUT.png [DIRECTORY]
// chung-screenshot --finish-form OUTPUT.png
// Renders the main window as it opens (or the completion dialog), without a
// display, into a PNG; the file widgets show DIRECTORY (default: the current
// directory).

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <cstdio>
#include <cstring>

#include "ui/dialogs.h"
#include "ui/finish_form.h"
#include "ui/main_window.h"

int main(int argc, char* argv[]) {
  const bool finishForm = argc == 3 && std::strcmp(argv[1], "--finish-form") == 0;
  if (argc < 2 || argc > 3 || (argc == 3 && !finishForm && argv[1][0] == '-')) {
    std::fprintf(stderr, "usage: chung-screenshot OUTPUT.png [DIRECTORY]\n"
                         "       chung-screenshot --finish-form OUTPUT.png\n");
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  if (finishForm) {
    TFinishForm form;
    form.show();
    QApplication::processEvents();
    if (!form.grab().save(QString::fromLocal8Bit(argv[2]), "PNG")) {
      std::fprintf(stderr, "chung-screenshot: can not write %s\n", argv[2]);
      return 1;
    }
    return 0;
  }
  const QString output = QDir::current().absoluteFilePath(QString::fromLocal8Bit(argv[1]));
  if (argc == 3 && !QDir::setCurrent(QString::fromLocal8Bit(argv[2]))) {
    std::fprintf(stderr, "chung-screenshot: can not enter %s\n", argv[2]);
    return 1;
  }
  QtDialogs dialogs;
  TMF_Tad window(dialogs);
  window.show();
  QApplication::processEvents();
  if (!window.grab().save(output, "PNG")) {
    std::fprintf(stderr, "chung-screenshot: can not write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
