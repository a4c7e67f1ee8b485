// Chung Model Simulation: the main window first, so that it is the
// application's main window, then the completion dialog, hidden.

#include <QApplication>
#include <cstdio>
#include <cstring>

#include "app/program_version.h"
#include "report/temporary_files.h"
#include "ui/common/channel_picture.h"
#include "ui/common/dialogs.h"
#include "ui/main_window/finish_form.h"
#include "ui/main_window/main_window.h"

int main(int argc, char* argv[]) {
  // Answered before Qt starts, so that it needs no display.
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("chung %s\n", ProgramVersion);
      return 0;
    }
  }

  RemoveTemporaryFilesOnSignals();
  QApplication application(argc, argv);
  QApplication::setApplicationName(QString::fromLatin1(ApplicationName));
  QApplication::setWindowIcon(ChannelIcon());

  QtDialogs dialogs;
  TMF_Tad MF_Tad(dialogs);
  TFinishForm FinishForm(&MF_Tad);
  dialogs.SetWindows(&MF_Tad, &FinishForm);

  MF_Tad.show();
  return QApplication::exec();
}
