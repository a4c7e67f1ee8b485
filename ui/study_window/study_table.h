#pragma once
// The study window's table: the study file's cells, so it never disagrees
// with the export; a line is split only when the view asks for one of its
// cells, and rows are added in batches as cases finish.

#include <QAbstractTableModel>
#include <QStringList>
#include <string>
#include <vector>

#include "ui/study_window/study_job.h"

class StudyTableModel : public QAbstractTableModel {
 public:
  StudyTableModel(const std::vector<StudyCaseResult>& cases, QObject* parent);

  // A new study: its header line, no rows.
  void Reset(const std::string& header);
  // Shows the cases added since the last call.
  void Grow();

  int rowCount(const QModelIndex& parent) const override;
  int columnCount(const QModelIndex& parent) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  const std::vector<StudyCaseResult>& Cases;
  QStringList Header;
  int Rows = 0;
};
