#include "ui/results_window/run_facts.h"

#include "results/input_names.h"
#include "results/number_text.h"
#include "ui/common/input_rows.h"
#include "ui/common/run_snapshot.h"

namespace {

constexpr int ViscM0Index = 14;

// The window's label of an input without its layout blanks and colon.
QString InputLabel(int index) {
  QString label = QString::fromUtf8(InputRows[static_cast<size_t>(index)].Label).trimmed();
  if (label.endsWith(QLatin1Char(':'))) label.chop(1);
  return label.trimmed();
}

QString UnitName(const RunSnapshot& run) { return QString::fromStdString(ViscosityUnitName(run.UnitIndex)); }

QString Text(const RunSnapshot& run, int index) { return run.FieldTexts[static_cast<size_t>(index)].trimmed(); }

}  // namespace

QString RunInputsHtml(const RunSnapshot& run) {
  QString rows;
  for (int i = 0; i < InputCount; ++i) {
    QString value = Text(run, i).toHtmlEscaped();
    if (i == ViscM0Index) value += QStringLiteral(" ") + UnitName(run).toHtmlEscaped();
    rows += QStringLiteral("<tr><td>%1</td><td>&nbsp;&nbsp;%2</td></tr>").arg(InputLabel(i).toHtmlEscaped(), value);
  }
  QString material;
  if (!run.MaterialName.isEmpty())
    material = QStringLiteral("<p>Material: %1</p>").arg(run.MaterialName.toHtmlEscaped());
  return QStringLiteral("<p><b>Inputs of this run</b> (as typed; viscosity unit %1)</p>%2<table>%3</table>")
      .arg(UnitName(run).toHtmlEscaped(), material, rows);
}

QString RunStatusHtml(const RunSnapshot& run, const QString& staleReason) {
  QString status;
  if (!staleReason.isEmpty()) {
    status += QStringLiteral("<p style='color:#b00000'><b>Not the latest run.</b> %1 This window still shows the "
                             "last run that completed.</p>")
                  .arg(staleReason.toHtmlEscaped());
  }
  if (!run.ReportWritten) {
    status += QStringLiteral("<p style='color:#b00000'><b>Report not written.</b> These are the figures of the "
                             "run, but no report holds them: see the messages of the run.</p>");
  }
  return status;
}

QString ChartCaption(const RunSnapshot& run) {
  const struct {
    int Index;
    const char* Name;
  } keys[] = {{0, "D"}, {7, "pitch"}, {5, "feed depth"}, {6, "metering depth"}, {9, "speed"}, {10, "output"}, {11, "B0"}};
  QStringList parts;
  if (!run.MaterialName.isEmpty()) parts << run.MaterialName;
  for (const auto& key : keys) {
    parts << QStringLiteral("%1 %2 %3")
                 .arg(QString::fromLatin1(key.Name), Text(run, key.Index),
                      QString::fromStdString(InputUnit(key.Index, run.UnitIndex)));
  }
  parts << QStringLiteral("m0 in %1").arg(UnitName(run));
  return QStringLiteral("Chung Model Simulation, run at %1: %2")
      .arg(run.Time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), parts.join(QStringLiteral(", ")));
}
