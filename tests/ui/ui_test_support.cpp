#include "ui_test_support.h"

#include <QApplication>
#include <QFile>
#include <QGraphicsItem>
#include <QListWidget>
#include <QTest>

#include "ui/main_window/file_widgets.h"

CursorSnapshot RecordingDialogs::Cursors() const {
  CursorSnapshot snapshot;
  if (!Window) return snapshot;
  snapshot.Window = Window->cursor().shape();
  snapshot.Button = FindControl<QPushButton>(Window, QStringLiteral("BitBtn1"))->cursor().shape();
  return snapshot;
}

QStringList RecordingDialogs::FileList() const {
  if (!Window) return {};
  return FindControl<TFileListBox>(Window, QStringLiteral("FileListBox1"))->FileNames();
}

void WindowTest::SetUp() {
  ASSERT_TRUE(Folder.isValid());
  PreviousDirectory = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(Folder.path()));
  StartDirectory = QDir::currentPath();
  Window = std::make_unique<TMF_Tad>(Recorder);
  Recorder.Attach(Window.get());
}

void MaterialFolderTest::SetUp() {
  ASSERT_TRUE(DataHome.isValid());
  qputenv("XDG_DATA_HOME", DataHome.path().toLocal8Bit());
  WindowTest::SetUp();
}

void WindowTest::TearDown() {
  Recorder.Attach(nullptr);
  Window.reset();
  QDir::setCurrent(PreviousDirectory);
}

void WindowTest::ShowAndActivate() {
  Window->show();
  QApplication::setActiveWindow(Window.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(Window.get()));
}

void WindowTest::ClickGo() { QTest::mouseClick(Control<QPushButton>("BitBtn1"), Qt::LeftButton); }

QStringList WindowTest::FileListNames() { return Control<TFileListBox>("FileListBox1")->FileNames(); }

void WindowTest::WriteFile(const QString& path, const QByteArray& content) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
  ASSERT_EQ(file.write(content), content.size());
}

::testing::AssertionResult CursorsAreDefault(QWidget* window, QWidget* button) {
  if (window->testAttribute(Qt::WA_SetCursor) && window->cursor().shape() != Qt::ArrowCursor)
    return ::testing::AssertionFailure() << "window cursor " << window->cursor().shape();
  if (button->testAttribute(Qt::WA_SetCursor) && button->cursor().shape() != Qt::ArrowCursor)
    return ::testing::AssertionFailure() << "button cursor " << button->cursor().shape();
  if (window->cursor().shape() != Qt::ArrowCursor || button->cursor().shape() != Qt::ArrowCursor)
    return ::testing::AssertionFailure() << "inherited cursor is not the arrow";
  return ::testing::AssertionSuccess();
}

QStringList ChartTexts(QGraphicsView* chartView) {
  QStringList texts;
  for (QGraphicsItem* item : chartView->scene()->items()) {
    if (!item->isVisible()) continue;
    if (auto* text = dynamic_cast<QGraphicsTextItem*>(item)) texts << text->toPlainText();
    if (auto* text = dynamic_cast<QGraphicsSimpleTextItem*>(item)) texts << text->text();
  }
  return texts;
}
