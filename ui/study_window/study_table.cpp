#include "ui/study_window/study_table.h"

#include <QRegularExpression>
#include <algorithm>

#include "ui/common/shown_numbers.h"

namespace {

// The fields of one line of a study file, quotes removed.
QStringList CsvLineFields(const std::string& line) {
  QStringList fields(QString{});
  QString field;
  bool quoted = false;
  const QString text = QString::fromStdString(line).trimmed();
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c == QLatin1Char('"') && quoted && i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
      fields.back() += c;
      ++i;
    } else if (c == QLatin1Char('"')) {
      quoted = !quoted;
    } else if (c == QLatin1Char(',') && !quoted) {
      fields.append(QString{});
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

// Significant digits of a number in a cell; the tooltip has all of them.
constexpr int CellDigits = 6;
// A number in a text (the stretches where a limit holds) with this many
// digits is a value at full precision, not a figure a sentence rounded.
constexpr int FullPrecisionDigits = 10;

// `text` with each number at full precision rounded as a cell's.
QString RoundedNumbersIn(const QString& text) {
  static const QRegularExpression number(QStringLiteral("-?\\d+\\.\\d+(?:e[-+]?\\d+)?"));
  QString shown;
  qsizetype from = 0;
  for (const QRegularExpressionMatch& match : number.globalMatch(text)) {
    const QString token = match.captured();
    const QString mantissa = token.section(QLatin1Char('e'), 0, 0);
    const auto digits = std::count_if(mantissa.begin(), mantissa.end(), [](QChar c) { return c.isDigit(); });
    shown += text.mid(from, match.capturedStart() - from);
    shown += digits >= FullPrecisionDigits ? ShownSignificant(token.toDouble(), CellDigits) : token;
    from = match.capturedEnd();
  }
  return ShownText((shown + text.mid(from)).toStdString());
}

}  // namespace

StudyTableModel::StudyTableModel(const std::vector<StudyCaseResult>& cases, QObject* parent)
    : QAbstractTableModel(parent), Cases(cases) {}

void StudyTableModel::Reset(const std::string& header) {
  beginResetModel();
  Header = CsvLineFields(header);
  Rows = 0;
  endResetModel();
}

void StudyTableModel::Grow() {
  const int rows = static_cast<int>(Cases.size());
  if (rows == Rows) return;
  beginInsertRows({}, Rows, rows - 1);
  Rows = rows;
  endInsertRows();
}

int StudyTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : Rows; }

int StudyTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(Header.size());
}

QVariant StudyTableModel::data(const QModelIndex& index, int role) const {
  if ((role != Qt::DisplayRole && role != Qt::ToolTipRole) || !index.isValid()) return {};
  const QStringList fields = CsvLineFields(Cases[static_cast<std::size_t>(index.row())].Row);
  if (index.column() >= fields.size()) return QString();
  const QString& cell = fields[index.column()];
  bool number = false;
  const double value = cell.toDouble(&number);  // the study file's '.' whatever the locale
  if (role == Qt::ToolTipRole) return ShownText(cell.toStdString());
  return number ? ShownSignificant(value, CellDigits) : RoundedNumbersIn(cell);
}

QVariant StudyTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section >= Header.size()) return {};
  return Header[section];
}
