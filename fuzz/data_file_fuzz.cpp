// The data file reader and the line rules on any bytes, read through a file
// descriptor as a user's file or pipe would be. What must hold: no line longer
// than the cap is kept, a refused long line names a line 1 to 29, lines hold
// no line ends, and accepted values hold no blank and no NUL.

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "model/data_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const int descriptor = ::memfd_create("data-file", 0);
  FUZZ_CHECK(descriptor >= 0, "memfd_create");
  for (size_t done = 0; done < size;) {
    const ssize_t written = ::write(descriptor, data + done, size - done);
    FUZZ_CHECK(written > 0, "write to the memory file");
    done += static_cast<size_t>(written);
  }
  const std::string path = "/proc/self/fd/" + std::to_string(descriptor);

  DataFileLineArray lines;
  lines.fill("from an earlier file");
  int longLine = -1;
  const bool read = ReadDataFileLines(path, lines, &longLine);
  ::close(descriptor);

  if (!read) {
    FUZZ_CHECK(longLine >= 1 && longLine <= DataFileLineCount, "a readable file refused without a long line");
    FUZZ_CHECK(size > MaxDataLineBytes, "a long line in a file shorter than the cap");
    return 0;
  }
  FUZZ_CHECK(longLine == 0, "a long line reported for a file that was read");
  for (const std::string& line : lines) {
    FUZZ_CHECK(line.size() <= MaxDataLineBytes, "a line longer than the cap was kept");
    FUZZ_CHECK(line.find('\n') == std::string::npos, "a line holds a line feed");
    FUZZ_CHECK(line.find('\r') == std::string::npos, "a line holds a carriage return");
  }

  const DataLineValues values = ParseDataLines(lines, "/fuzz/data.txt");
  if (!values.Accepted) {
    FUZZ_CHECK(!values.Message.empty(), "a refusal without a message");
    return 0;
  }
  FUZZ_CHECK(values.UnitIndex == 0 || values.UnitIndex == 1, "a unit index other than 0 or 1");
  for (const std::string& value : values.Values) {
    FUZZ_CHECK(value.find(' ') == std::string::npos, "a value holds a blank");
    FUZZ_CHECK(value.find('\0') == std::string::npos, "a value holds a NUL byte");
  }
  return 0;
}
