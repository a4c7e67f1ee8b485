// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Numbers in the material windows' fields: shown as the shortest text that
// reads back, with the window's decimal separator, and read back strictly.

#include <QString>
#include <optional>

QString NumberField(double value, char separator);

// The whole text must be one number, with `separator` or a full stop.
std::optional<double> ReadNumber(const QString& typed, char separator);
