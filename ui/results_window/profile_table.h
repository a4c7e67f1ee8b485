#pragma once
// The results window's table: the profile CSV, cell for cell, with each
// number rounded for reading to the digits the report shows of its column.
// The full-precision text stays in the cell's tooltip; Copy Table and Export
// CSV take the CSV itself.

#include <string>

class QTableWidget;

void FillProfileTable(QTableWidget* table, const std::string& csv);
