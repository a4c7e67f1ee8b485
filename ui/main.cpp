// Chung Model Simulation: the main window first, so that it is the
// application's main window, then the completion dialog, hidden.

#include <QApplication>

#include "report/temporary_files.h"
#include "ui/channel_picture.h"
#include "ui/dialogs.h"
#include "ui/finish_form.h"
#include "ui/main_window.h"

int main(int argc, char* argv[]) {
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
