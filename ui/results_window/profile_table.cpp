#include "ui/results_window/profile_table.h"

#include <QHeaderView>
#include <QStringList>
#include <QTableWidget>
#include <array>
#include <vector>

#include "ui/common/shown_numbers.h"

namespace {

// Decimals per CSV column: the report's for its six (flight 2, depth 3,
// film, X/W and QS/QT 4, barrel 1), hundredths of a cm for the distances,
// thousandths for the bed width and the solid flow.
constexpr std::array<int, 11> ColumnDecimals = {0, 2, 3, 4, 4, 4, 1, 2, 2, 3, 3};

// Significant digits for a column the table does not know.
constexpr int OtherColumnDigits = 6;

QString Rounded(const QString& cell, int column) {
  bool number = false;
  const double value = cell.toDouble(&number);  // always "." whatever the locale
  if (!number) return cell;
  if (column >= static_cast<int>(ColumnDecimals.size())) return ShownSignificant(value, OtherColumnDigits);
  // A small negative value rounded to zero carries no sign, as in the report.
  return ShownNumber(value, ColumnDecimals[static_cast<size_t>(column)]);
}

}  // namespace

void FillProfileTable(QTableWidget* table, const std::string& csv) {
  table->clear();
  table->setRowCount(0);
  table->setColumnCount(0);
  std::vector<QStringList> lines;
  for (const QString& line : QString::fromUtf8(csv).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
    lines.push_back(line.split(QLatin1Char(',')));
  if (lines.empty()) return;
  table->setColumnCount(static_cast<int>(lines.front().size()));
  table->setHorizontalHeaderLabels(lines.front());
  table->setRowCount(static_cast<int>(lines.size()) - 1);
  for (size_t row = 1; row < lines.size(); ++row) {
    for (int column = 0; column < lines[row].size(); ++column) {
      const QString& full = lines[row][column];
      auto* cell = new QTableWidgetItem(Rounded(full, column));
      cell->setToolTip(ShownText(full.toStdString()));
      cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      table->setItem(static_cast<int>(row) - 1, column, cell);
    }
  }
  table->resizeColumnsToContents();
}
