#include "ui/dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

#include "ui/finish_form.h"

void QtDialogs::SetWindows(QWidget* mainWindow, TFinishForm* finishForm) {
  MainWindow = mainWindow;
  FinishForm = finishForm;
}

void QtDialogs::ShowMessage(const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(ApplicationName), text, QMessageBox::Ok, MainWindow);
  box.setDefaultButton(QMessageBox::Ok);
  box.exec();
}

void QtDialogs::ShowFinishForm() {
  if (FinishForm) {
    FinishForm->exec();
    return;
  }
  // Only a program that never created the dialog gets here; still say it.
  TFinishForm form(MainWindow);
  form.exec();
}

QStringList QtDialogs::ChooseDataFiles(const QString& startDir, const QString& filter) {
  const QString file = QFileDialog::getOpenFileName(MainWindow, QString(), startDir, filter);
  if (file.isEmpty()) return {};
  return {file};
}
