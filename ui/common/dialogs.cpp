#include "ui/common/dialogs.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

#include "ui/main_window/finish_form.h"

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

QString QtDialogs::ChooseSaveFileName(const QString& caption, const QString& suggestedPath, const QString& filter) {
  // Asked from the results window as well: the dialog stands over whichever window asked.
  QWidget* parent = QApplication::activeWindow() ? QApplication::activeWindow() : MainWindow.data();
  return QFileDialog::getSaveFileName(parent, caption, suggestedPath, filter);
}

bool QtDialogs::Ask(const QString& text) {
  // Asked from the study window as well: the box stands over whichever window asked.
  QWidget* parent = QApplication::activeWindow() ? QApplication::activeWindow() : MainWindow.data();
  QMessageBox box(QMessageBox::Question, QString::fromLatin1(ApplicationName), text, QMessageBox::Yes | QMessageBox::No,
                  parent);
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

bool QtDialogs::OpenDocument(const QString& path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); }
