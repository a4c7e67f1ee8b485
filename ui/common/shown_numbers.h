// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Numbers as the windows show them: with the decimal separator the fields
// are read with (the system locale's) and never a thousands separator, in
// figures, tables, sentences and chart labels alike. Files, exports and
// JSON keep '.' (results/number_text).

#include <QString>
#include <string>

class QChart;
class QLocale;

// The separator numbers are read and written with: the locale's decimal
// point when it is one ASCII character, otherwise a full stop.
char DecimalSeparatorOf(const QLocale& locale);

// DecimalSeparatorOf the system locale, as it stands now.
char ShownDecimalSeparator();

// `decimals` digits after the separator (FixedText).
QString ShownNumber(double value, int decimals);
// The shortest text that reads back to the same double (RoundTripText).
QString ShownFullNumber(double value);
// `digits` significant digits, for a table's cell; a whole number of up to
// 15 digits stays whole rather than turning into an exponent.
QString ShownSignificant(double value, int digits);
// A sentence results/ wrote with '.' (a verdict, a warning), its decimal
// points in the shown separator.
QString ShownText(const std::string& sentence);

// Axis labels in the shown separator, without thousands separators. The
// axes' label format must give its precision ("%.6g", not "%g"): a
// localized chart draws no label for any other.
void LocalizeChartNumbers(QChart* chart);
