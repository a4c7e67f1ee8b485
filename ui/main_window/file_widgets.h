#pragma once
// The drive box, the directory list and the file list of the main window.
// The directory list and the drive box move the process's current
// directory; the file list always shows the start-up directory.

#include <QComboBox>
#include <QListWidget>
#include <QString>

class Dialogs;

// Drives of the machine (on Linux the single file-system root).
class TDriveComboBox : public QComboBox {
  Q_OBJECT
 public:
  explicit TDriveComboBox(QWidget* parent = nullptr);
  // Shows the drive that holds `directory`.
  void ShowDriveOf(const QString& directory);
  QString Drive() const;

 signals:
  // The user picked a drive; the argument is the directory to open on it.
  void DriveChosen(const QString& directory);
};

class TDirectoryListBox : public QListWidget {
  Q_OBJECT
 public:
  TDirectoryListBox(Dialogs& dialogs, const QString& directory, QWidget* parent = nullptr);

  // The folder the list shows.
  QString Directory() const { return ShownDirectory; }
  // Makes `path` the process's current directory and shows it; a folder that
  // can not be entered gives a message and changes nothing.
  bool ChangeDirectory(const QString& path);
  // What a double click or Enter on a row does: nothing for the folder
  // already shown, otherwise ChangeDirectory.
  void OpenItem(QListWidgetItem* item);

  static constexpr int PathRole = Qt::UserRole;
  static constexpr int LevelRole = Qt::UserRole + 1;

 signals:
  void DirectoryChanged(const QString& directory);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void ShowDirectory(const QString& directory);

  Dialogs& TheDialogs;
  QString ShownDirectory;
};

class TFileListBox : public QListWidget {
  Q_OBJECT
 public:
  TFileListBox(Dialogs& dialogs, const QString& directory, QWidget* parent = nullptr);

  QString Directory() const { return ListedDirectory; }
  QStringList FileNames() const;
  // Makes the listed directory current again and lists its files anew.
  void Update();

 private:
  void List();

  Dialogs& TheDialogs;
  QString ListedDirectory;
};

// Same folder, honouring the file system's letter case rules.
bool SameDirectory(const QString& a, const QString& b);
