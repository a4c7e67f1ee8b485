// The drive box, the directory list and the file list, in a temporary tree:
// which directory each shows, and where the result file of a run goes.

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QTest>

#include "ui/main_window/file_widgets.h"
#include "ui_test_support.h"

namespace {

class FileWidgetsTest : public WindowTest {
 protected:
  void SetUp() override {
    // The tree must exist before the window lists the start-up directory.
    ASSERT_TRUE(Folder.isValid());
    const QDir top(Folder.path());
    for (const char* folder : {"beta", "Alpha", "gamma", ".hidden", "beta/inner"}) ASSERT_TRUE(top.mkpath(folder));
    for (const char* file : {"b.txt", "A.txt", "c.dat", ".secret"}) WriteFile(top.filePath(file), "x");
    WindowTest::SetUp();
  }

  TDirectoryListBox* List() { return Control<TDirectoryListBox>("DirectoryListBox1"); }

  QListWidgetItem* Row(const QString& text) {
    const auto found = List()->findItems(text, Qt::MatchExactly);
    if (found.size() != 1) throw std::runtime_error("no single row " + text.toStdString());
    return found.front();
  }
  void DoubleClick(QListWidgetItem* item) {
    if (!Window->isVisible()) ShowAndActivate();
    List()->scrollToItem(item);
    const QRect place = List()->visualItemRect(item);
    // As the window system delivers it: a click, then the double click.
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, place.center());
    QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, place.center());
  }
  QString Sub(const QString& name) { return QDir(StartDir()).filePath(name); }
  QStringList RowTexts() {
    QStringList texts;
    for (int i = 0; i < List()->count(); ++i) texts << List()->item(i)->text();
    return texts;
  }
};

TEST_F(FileWidgetsTest, AtStartAllShowTheStartUpDirectory) {
  EXPECT_EQ(List()->Directory(), StartDir());
  EXPECT_EQ(Control<TFileListBox>("FileListBox1")->Directory(), StartDir());
  EXPECT_EQ(Control<TDriveComboBox>("DriveComboBox1")->Drive(), QDir(StartDir()).rootPath());

  // The root, every folder down to the directory, the directory, then its
  // sub-folders sorted; each level one step deeper.
  QStringList expected{QDir::toNativeSeparators(QDir(StartDir()).rootPath())};
  expected += StartDir().split('/', Qt::SkipEmptyParts);
  const int shownRow = expected.size() - 1;
  expected += QStringList{"Alpha", "beta", "gamma"};
  EXPECT_EQ(RowTexts(), expected);
  for (int i = 0; i < List()->count(); ++i)
    EXPECT_EQ(List()->item(i)->data(TDirectoryListBox::LevelRole).toInt(), qMin(i, shownRow + 1)) << i;
  EXPECT_EQ(List()->currentRow(), shownRow);

  // Open folders above, the current folder, closed folders below: three different icons.
  const qint64 open = List()->item(0)->icon().cacheKey();
  const qint64 current = List()->item(shownRow)->icon().cacheKey();
  const qint64 closed = List()->item(shownRow + 1)->icon().cacheKey();
  EXPECT_EQ(List()->item(shownRow - 1)->icon().cacheKey(), open);
  EXPECT_NE(open, current);
  EXPECT_NE(current, closed);
  EXPECT_NE(open, closed);

  // Ordinary visible files only, sorted by name.
  EXPECT_EQ(Control<TFileListBox>("FileListBox1")->FileNames(), (QStringList{"A.txt", "b.txt", "c.dat"}));
}

TEST_F(FileWidgetsTest, OpeningAFolderMovesTheRunButNotTheFileList) {
  ShowAndActivate();
  // A single click only selects.
  QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, List()->visualItemRect(Row("beta")).center());
  EXPECT_EQ(List()->currentItem()->text(), "beta");
  EXPECT_EQ(QDir::currentPath(), StartDir());
  EXPECT_EQ(List()->Directory(), StartDir());

  DoubleClick(Row("beta"));
  EXPECT_EQ(QDir::currentPath(), Sub("beta"));
  EXPECT_EQ(List()->Directory(), Sub("beta"));
  EXPECT_EQ(List()->currentItem()->text(), "beta");
  EXPECT_EQ(Row("inner")->data(TDirectoryListBox::PathRole).toString(), Sub("beta/inner"));
  EXPECT_EQ(Control<TFileListBox>("FileListBox1")->Directory(), StartDir());

  // The run writes into the opened folder; the refresh after it makes the
  // start-up directory current again while the list still shows beta.
  ClickGo();
  ASSERT_EQ(Recorder.FinishForms.size(), 1u);
  EXPECT_TRUE(QFile::exists(Sub("beta/result.txt")));
  EXPECT_EQ(QDir::currentPath(), StartDir());
  EXPECT_EQ(List()->Directory(), Sub("beta"));
  EXPECT_FALSE(FileListNames().contains("result.txt"));

  // Opening the folder the list already shows changes nothing...
  DoubleClick(Row("beta"));
  EXPECT_EQ(QDir::currentPath(), StartDir());
  ClickGo();
  EXPECT_TRUE(QFile::exists(Sub("result.txt")));
  EXPECT_TRUE(FileListNames().contains("result.txt"));

  // ...opening another one does, the parent included.
  const QString startName = QFileInfo(StartDir()).fileName();
  DoubleClick(Row(startName));
  EXPECT_EQ(QDir::currentPath(), StartDir());
  EXPECT_EQ(List()->Directory(), StartDir());
  EXPECT_TRUE(RowTexts().contains("gamma"));
}

TEST_F(FileWidgetsTest, EnterOpensTheSelectedFolderWithoutRunningGo) {
  ShowAndActivate();
  List()->setFocus();
  List()->setCurrentItem(Row("Alpha"));
  QTest::keyClick(List(), Qt::Key_Return);
  EXPECT_EQ(QDir::currentPath(), Sub("Alpha"));
  EXPECT_EQ(List()->Directory(), Sub("Alpha"));
  EXPECT_TRUE(Recorder.FinishForms.empty());
}

TEST_F(FileWidgetsTest, AFolderThatCanNotBeEnteredChangesNothing) {
  QListWidgetItem* gamma = Row("gamma");
  ASSERT_TRUE(QDir(Sub("gamma")).removeRecursively());  // gone since it was listed
  const QStringList before = RowTexts();

  List()->OpenItem(gamma);
  ASSERT_EQ(Recorder.Messages.size(), 1u);
  EXPECT_TRUE(Recorder.Messages[0].Text.contains(Sub("gamma"))) << Recorder.Messages[0].Text.toStdString();
  EXPECT_EQ(QDir::currentPath(), StartDir());
  EXPECT_EQ(List()->Directory(), StartDir());
  EXPECT_EQ(RowTexts(), before);
}

TEST_F(FileWidgetsTest, PickingTheDriveShowsItsCurrentDirectory) {
  DoubleClick(Row("beta"));
  ASSERT_TRUE(QDir::setCurrent(Sub("Alpha")));  // as the refresh after a run would move it
  auto* drives = Control<TDriveComboBox>("DriveComboBox1");
  ASSERT_GE(drives->count(), 1);
  emit drives->activated(drives->currentIndex());
  EXPECT_EQ(QDir::currentPath(), Sub("Alpha"));
  EXPECT_EQ(List()->Directory(), Sub("Alpha"));
}

TEST_F(FileWidgetsTest, FileListRefreshWhenTheStartUpDirectoryIsGone) {
  DoubleClick(Row("beta"));
  ASSERT_TRUE(QDir(StartDir()).removeRecursively());
  Control<TFileListBox>("FileListBox1")->Update();
  ASSERT_EQ(Recorder.Messages.size(), 1u);
  EXPECT_TRUE(Recorder.Messages[0].Text.contains(StartDir()));
  // The list keeps what it showed; the current directory is not moved.
  EXPECT_EQ(FileListNames(), (QStringList{"A.txt", "b.txt", "c.dat"}));
}

TEST(SameDirectory, ComparesTheFoldersNotTheSpelling) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  ASSERT_TRUE(QDir(folder.path()).mkdir("a"));
  EXPECT_TRUE(SameDirectory(folder.path() + "/a", folder.path() + "/a/../a/"));
  EXPECT_FALSE(SameDirectory(folder.path() + "/a", folder.path()));
  // Linux file systems tell letter case apart.
  EXPECT_FALSE(SameDirectory(folder.path() + "/a", folder.path() + "/A"));
}

}  // namespace
