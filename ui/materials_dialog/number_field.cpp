// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/materials_dialog/number_field.h"

#include <charconv>
#include <string>

#include "results/number_text.h"

QString NumberField(double value, char separator) {
  std::string text = RoundTripText(value);
  for (char& c : text)
    if (c == '.') c = separator;
  return QString::fromStdString(text);
}

std::optional<double> ReadNumber(const QString& typed, char separator) {
  std::string text = typed.trimmed().toStdString();
  for (char& c : text)
    if (c == separator) c = '.';
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}
