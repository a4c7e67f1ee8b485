#pragma once
// Numbers as text for files that other programs read (CSV, JSON) and for the
// sentences of the run summary: always "." as decimal point, whatever the
// locale, so a spreadsheet or pandas reads them the same everywhere.

#include <string>

// The shortest text that reads back to exactly the same double.
std::string RoundTripText(double value);

// The value with `decimals` digits after the point.
std::string FixedText(double value, int decimals);

// A generated value as the run reads a field: RoundTripText with the
// locale's decimal separator.
std::string FieldText(double value, char decimalSeparator);

// `text` with each decimal point (a '.' between two digits) written as
// `decimalSeparator`: a sentence built from the texts above, as a window
// under a comma locale shows it.
std::string WithDecimalSeparator(std::string text, char decimalSeparator);
