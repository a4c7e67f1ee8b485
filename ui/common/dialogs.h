#pragma once
// Everything the main window asks or tells the user goes through this
// interface, so a test can answer in place of a person.

#include <QPointer>
#include <QString>
#include <QStringList>

class QWidget;
class TFinishForm;

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // A modal message box with one OK button.
  virtual void ShowMessage(const QString& text) = 0;
  // The completion dialog, modal; returns when the user has closed it.
  virtual void ShowFinishForm() = 0;
  // The open-file dialog; the chosen files, none when cancelled.
  virtual QStringList ChooseDataFiles(const QString& startDir, const QString& filter) = 0;
  // A save-file dialog starting at `suggestedPath`; the chosen path, empty
  // when cancelled.
  virtual QString ChooseSaveFileName(const QString& caption, const QString& suggestedPath,
                                     const QString& filter) = 0;
  // Hands a file to the desktop's viewer for its type; false when none took it.
  virtual bool OpenDocument(const QString& path) = 0;
  // A modal question with Yes and No, No the default; true for Yes.
  virtual bool Ask(const QString& text) = 0;
};

inline constexpr const char* ApplicationName = "Chung Model Simulation";
inline constexpr const char* DataFileFilter = "Text Files (*.txt);;All Files (*)";

// The real dialogs. The windows are given once they exist: the main window
// is created before the completion dialog.
class QtDialogs : public Dialogs {
 public:
  void SetWindows(QWidget* mainWindow, TFinishForm* finishForm);

  void ShowMessage(const QString& text) override;
  void ShowFinishForm() override;
  QStringList ChooseDataFiles(const QString& startDir, const QString& filter) override;
  QString ChooseSaveFileName(const QString& caption, const QString& suggestedPath, const QString& filter) override;
  bool OpenDocument(const QString& path) override;
  bool Ask(const QString& text) override;

 private:
  QPointer<QWidget> MainWindow;
  QPointer<TFinishForm> FinishForm;
};
