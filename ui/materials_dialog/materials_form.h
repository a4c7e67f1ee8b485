// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Materials...": the library's materials in a list, the chosen record in
// full (values with units, quality, sources, fit window, notes), and New,
// Duplicate, Edit, Delete for the user's own materials (built-ins are read
// only: duplicate one to change it), Import and Export of a material file.

#include <QDialog>

#include "materials/material_library.h"

class Dialogs;
class QLabel;
class QListWidget;
class QPushButton;
class QTextBrowser;
class TMF_Tad;
class TMaterialEditor;

class TMaterialsForm : public QDialog {
  Q_OBJECT
 public:
  TMaterialsForm(TMF_Tad& mainWindow, Dialogs& dialogs, QWidget* parent = nullptr);

  // Lists the main window's library again, keeping the selection by key.
  void Refresh(const QString& selectKey = QString());
  // The record selected in the list, or null.
  const Material* Selected() const;
  bool SelectKey(const QString& key);

  // Each opens the editor (returned, window-modal) or acts at once.
  TMaterialEditor* NewClick();
  TMaterialEditor* DuplicateClick();
  TMaterialEditor* EditClick();
  void DeleteClick();
  void ImportClick();
  void ExportClick();

 private:
  TMaterialEditor* OpenEditor(const Material& material, bool editing);
  void ShowSelected();

  TMF_Tad& MainWindow;
  Dialogs& TheDialogs;
  QListWidget* MaterialList = nullptr;
  QTextBrowser* RecordView = nullptr;
  QLabel* ProblemsText = nullptr;
  QPushButton* NewBtn = nullptr;
  QPushButton* DuplicateBtn = nullptr;
  QPushButton* EditBtn = nullptr;
  QPushButton* DeleteBtn = nullptr;
  QPushButton* ImportBtn = nullptr;
  QPushButton* ExportBtn = nullptr;
};
