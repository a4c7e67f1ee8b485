#pragma once
// The 29-line data file: reading its lines and turning them into field values.
// Used by the window's "Read Data File" and by the batch tool.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "model_state.h"

inline constexpr int DataFileLineCount = 29;

// The longest line a data file may have, line end not counted. Its lines hold
// a label and a number; the cap keeps a file without line ends, or a huge
// value, from filling the memory.
inline constexpr std::size_t MaxDataLineBytes = 65536;

using DataFileLineArray = std::array<std::string, DataFileLineCount>;

// Reads the first 29 lines into `lines`, entry by entry (LF or CR LF end a
// line, a lone CR is dropped, missing lines read as empty), and nothing after
// them, so a pipe works as well as a file. Returns false when the file can not
// be opened, a read fails or a line is longer than MaxDataLineBytes; for the
// last, `longLine` (when given) is set to the line's number, 1 to 29, and
// otherwise to 0. Entries read before keep their new values.
bool ReadDataFileLines(const std::string& path, DataFileLineArray& lines, int* longLine = nullptr);

// Why a file with a line longer than MaxDataLineBytes is refused;
// `dataFileName` is the full path, as in the not-a-data-file message.
std::string LongDataLineMessage(const std::string& dataFileName, int line);

struct DataLineValues {
  bool Accepted = false;
  std::string Message;                       // why the lines were refused
  std::array<std::string, InputCount> Values;  // lines 1 to 28, canonical order
  int32_t UnitIndex = 1;                     // 0 for Pa.s, 1 for gf.s/cm2
};

// Every check of the lines before any result; `dataFileName` is the full path
// named in the not-a-data-file message. Lines that hold a NUL byte, or a first
// line that starts with a UTF-16 byte order mark, are no text: such a file is
// refused as not a text data file once every line has its "=".
DataLineValues ParseDataLines(const DataFileLineArray& lines, const std::string& dataFileName);

// A data file's number as the run reads it under `decimalSeparator`: a file
// written under a point locale (the examples) or a comma locale (Save Inputs
// As in German) is read alike in either. A number holds at most one of the
// two separators and no digit grouping, so the other one, in a text without
// the run's own, can only be the file's decimal separator; anything else is
// left for the run to refuse.
std::string DataFileNumberText(const std::string& text, char decimalSeparator);
