#pragma once
// What the window keeps of its last completed run for the picture in Image1
// and the results window. The window's own ModelState is overwritten by the
// next run, even a refused one, so the snapshot holds a copy of it, the texts
// the fields held, where the report went and when.

#include <QDateTime>
#include <QString>
#include <array>

#include "materials/material_inputs.h"
#include "model/model_state.h"
#include "results/run_summary.h"

struct RunSnapshot {
  ModelState State;
  RunSummary Summary;
  std::array<QString, InputCount> FieldTexts;  // canonical order, as typed
  int UnitIndex = 1;                           // of RadioGroup1
  QString MaterialName;                        // the material the run's eleven material inputs came from
  MaterialRemarks Remarks;                     // that material's warnings and note; none without a record
  char DecimalSeparator = '.';                 // the one the run read the texts with
  QString ReportPath;                          // absolute, resolved when the run wrote it
  bool ReportWritten = false;                  // a regular file stood there after the run
  QDateTime Time;
};

// The run's warnings and its material's, as the picture's mark counts them.
inline std::size_t WarningCount(const RunSnapshot& run) {
  return run.Summary.Warnings.size() + run.Remarks.Warnings.size();
}
