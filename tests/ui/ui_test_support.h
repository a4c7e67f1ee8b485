#pragma once
// What the window tests share: a dialogs double that records what the
// window asked and the cursors it showed at that moment, a fixture that
// runs each test inside its own temporary folder, and control lookup by
// object name that fails loudly.

#include <gtest/gtest.h>

#include <QDir>
#include <QGraphicsView>
#include <QPushButton>
#include <QStringList>
#include <QTemporaryDir>
#include <QWidget>
#include <deque>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "ui/common/dialogs.h"
#include "ui/main_window/main_window.h"

// Readable failure output for Qt strings.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
inline void PrintTo(const QStringList& texts, std::ostream* out) {
  *out << '{';
  for (const QString& text : texts) *out << " \"" << text.toStdString() << '"';
  *out << " }";
}

template <class T>
T* FindControl(QObject* root, const QString& name) {
  T* found = root->findChild<T*>(name);
  if (!found)
    throw std::runtime_error("control \"" + name.toStdString() + "\" of the expected kind is missing");
  return found;
}

struct CursorSnapshot {
  Qt::CursorShape Window = Qt::ArrowCursor;
  Qt::CursorShape Button = Qt::ArrowCursor;
  bool Busy() const { return Window == Qt::WaitCursor && Button == Qt::WaitCursor; }
};

class RecordingDialogs : public Dialogs {
 public:
  struct Message {
    QString Text;
    CursorSnapshot Cursors;
  };
  struct FinishFormCall {
    CursorSnapshot Cursors;
    QStringList FileList;  // what the file list showed while the dialog was open
  };
  struct FileRequest {
    QString StartDir;
    QString Filter;
  };
  struct SaveRequest {
    QString Caption;
    QString SuggestedPath;
    QString Filter;
  };

  void Attach(TMF_Tad* window) { Window = window; }

  void ShowMessage(const QString& text) override { Messages.push_back({text, Cursors()}); }
  void ShowFinishForm() override { FinishForms.push_back({Cursors(), FileList()}); }
  QStringList ChooseDataFiles(const QString& startDir, const QString& filter) override {
    FileRequests.push_back({startDir, filter});
    if (DataFileAnswers.empty()) return {};
    QStringList answer = DataFileAnswers.front();
    DataFileAnswers.pop_front();
    return answer;
  }
  QString ChooseSaveFileName(const QString& caption, const QString& suggestedPath, const QString& filter) override {
    SaveRequests.push_back({caption, suggestedPath, filter});
    if (SaveAnswers.empty()) return {};
    QString answer = SaveAnswers.front();
    SaveAnswers.pop_front();
    return answer;
  }
  bool OpenDocument(const QString& path) override {
    OpenedDocuments << path;
    return true;
  }
  bool Ask(const QString& text) override {
    Questions << text;
    if (AskAnswers.empty()) return false;
    const bool answer = AskAnswers.front();
    AskAnswers.pop_front();
    return answer;
  }

  QStringList MessageTexts() const {
    QStringList texts;
    for (const auto& message : Messages) texts << message.Text;
    return texts;
  }

  std::vector<Message> Messages;
  std::vector<FinishFormCall> FinishForms;
  std::vector<FileRequest> FileRequests;
  std::deque<QStringList> DataFileAnswers;
  std::vector<SaveRequest> SaveRequests;
  std::deque<QString> SaveAnswers;  // none left: the dialog is cancelled
  QStringList OpenedDocuments;
  QStringList Questions;
  std::deque<bool> AskAnswers;  // none left: No

 private:
  CursorSnapshot Cursors() const;
  QStringList FileList() const;
  TMF_Tad* Window = nullptr;
};

// Each test starts in a fresh temporary folder, which is the window's
// start-up directory, and goes back to where it was at the end.
class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  template <class T>
  T* Control(const char* name) {
    return FindControl<T>(Window.get(), QString::fromLatin1(name));
  }
  // Shows the window and waits until it has the keyboard.
  void ShowAndActivate();
  void ClickGo();
  QString StartDir() const { return StartDirectory; }
  QStringList FileListNames();
  void WriteFile(const QString& path, const QByteArray& content);

  QTemporaryDir Folder;
  QString StartDirectory;
  QString PreviousDirectory;
  RecordingDialogs Recorder;
  std::unique_ptr<TMF_Tad> Window;
};

// A window test whose user materials go to a folder of its own, set before
// the window reads its library.
class MaterialFolderTest : public WindowTest {
 protected:
  void SetUp() override;
  QTemporaryDir DataHome;
};

// Every text a chart view draws: axis labels and titles, legend entries.
QStringList ChartTexts(QGraphicsView* chartView);

// Cursor state the window must show when no run is going on.
::testing::AssertionResult CursorsAreDefault(QWidget* window, QWidget* button);
