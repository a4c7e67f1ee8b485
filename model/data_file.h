#pragma once
// The 29-line data file: reading its lines and turning them into field values.
// Used by the window's "Read Data File" and by the batch tool.

#include <array>
#include <cstdint>
#include <string>

#include "model_state.h"

inline constexpr int DataFileLineCount = 29;

using DataFileLineArray = std::array<std::string, DataFileLineCount>;

// Reads the first 29 lines into `lines`, entry by entry (LF or CR LF end a
// line, a lone CR is dropped, missing lines read as empty). Returns false when
// the file can not be opened or a read fails; entries read before keep their
// new values.
bool ReadDataFileLines(const std::string& path, DataFileLineArray& lines);

struct DataLineValues {
  bool Accepted = false;
  std::string Message;                       // why the lines were refused
  std::array<std::string, InputCount> Values;  // lines 1 to 28, canonical order
  int32_t UnitIndex = 1;                     // 0 for Pa.s, 1 for gf.s/cm2
};

// Every check of the lines before any result; `dataFileName` is the full path
// named in the not-a-data-file message.
DataLineValues ParseDataLines(const DataFileLineArray& lines, const std::string& dataFileName);
