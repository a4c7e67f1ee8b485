// "Read Data File": the part of the main window that loads a data file into
// the fields. The line rules live with the model; this only asks, reads and
// applies.

#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QStringList>

#include "model/data_file.h"
#include "ui/common/dialogs.h"
#include "ui/main_window/file_widgets.h"
#include "ui/main_window/main_window.h"
#include "ui/common/radio_group.h"

void TMF_Tad::InputDataBtnClick() {
  const QStringList files = TheDialogs.ChooseDataFiles(DirectoryListBox1->Directory(), QString::fromLatin1(DataFileFilter));
  if (files.size() != 1) {
    TheDialogs.ShowMessage(QStringLiteral("Select one data file! Please try again."));
    return;
  }
  const QString path = QFileInfo(files.front()).absoluteFilePath();
  DataFileName = QFile::encodeName(path).toStdString();
  int longLine = 0;
  if (!ReadDataFileLines(DataFileName, DataFileLines, &longLine)) {
    TheDialogs.ShowMessage(longLine > 0 ? QString::fromLocal8Bit(LongDataLineMessage(DataFileName, longLine))
                                        : QStringLiteral("Data file can not open!"));
    return;
  }
  ApplyDataLines();
}

void TMF_Tad::ApplyDataLines() {
  const DataLineValues values = ParseDataLines(DataFileLines, DataFileName);
  if (!values.Accepted) {
    TheDialogs.ShowMessage(QString::fromLocal8Bit(values.Message));
    return;
  }
  // Unit first, then the fields in line order; fixed fields keep their texts.
  RadioGroup1->SetItemIndex(values.UnitIndex == 0 ? 0 : 1);
  for (int i = 0; i < InputCount; ++i) {
    QLineEdit* edit = InputEdits[static_cast<size_t>(i)];
    if (edit->isEnabled()) edit->setText(QString::fromLocal8Bit(values.Values[static_cast<size_t>(i)]));
  }
}
