// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/common/shown_numbers.h"

#include <QChart>
#include <QLocale>
#include <cmath>

#include "results/number_text.h"

char DecimalSeparatorOf(const QLocale& locale) {
  const QString point = locale.decimalPoint();
  if (point.size() == 1 && point.at(0).unicode() > 0x20 && point.at(0).unicode() < 0x7f)
    return static_cast<char>(point.at(0).unicode());
  return '.';
}

char ShownDecimalSeparator() { return DecimalSeparatorOf(QLocale::system()); }

QString ShownNumber(double value, int decimals) { return ShownText(FixedText(value, decimals)); }

QString ShownFullNumber(double value) { return ShownText(RoundTripText(value)); }

QString ShownSignificant(double value, int digits) {
  if (std::isfinite(value) && value == std::trunc(value) && std::fabs(value) < 1e15) return ShownNumber(value, 0);
  const QString text = QString::number(value, 'g', digits);
  return ShownText(text.toStdString());
}

QString ShownText(const std::string& sentence) {
  return QString::fromStdString(WithDecimalSeparator(sentence, ShownDecimalSeparator()));
}

void LocalizeChartNumbers(QChart* chart) {
  QLocale locale = QLocale::system();
  // A group separator would read as a decimal point in half the world.
  locale.setNumberOptions(QLocale::OmitGroupSeparator);
  chart->setLocale(locale);
  chart->setLocalizeNumbers(true);
}
