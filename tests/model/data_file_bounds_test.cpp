// What a data file may not be: lines beyond the cap, or bytes that are not
// text. Refused early, in bounded memory, also when read from a pipe.

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "model/data_file.h"
#include "model/input_fields.h"

namespace fs = std::filesystem;

namespace {

std::string GoodLines() {
  std::string text;
  for (int k = 0; k < InputCount; ++k) text += "Label = " + std::string(InputFields[k].InitialText) + "\n";
  return text + "Viscosity Unit = 1\n";
}

// Reads `prefix` and then up to 100 MB of '7' without a line end through a
// pipe, as "chung-batch <(command)" would; returns the bytes the writer got
// rid of before the reader stopped.
size_t ReadThroughPipe(const std::string& prefix, bool& read, int& longLine, DataFileLineArray& lines) {
  int ends[2];
  EXPECT_EQ(::pipe(ends), 0);
  struct sigaction ignore {}, previous {};
  ignore.sa_handler = SIG_IGN;
  ::sigaction(SIGPIPE, &ignore, &previous);
  std::atomic<size_t> written{0};
  std::thread writer([&] {
    const std::string chunk(65536, '7');
    std::string pending = prefix;
    while (written < 100'000'000) {
      if (pending.empty()) pending = chunk;
      const ssize_t n = ::write(ends[1], pending.data(), pending.size());
      if (n <= 0) break;  // the reader closed its end
      written += static_cast<size_t>(n);
      pending.erase(0, static_cast<size_t>(n));
    }
    ::close(ends[1]);
  });
  read = ReadDataFileLines("/dev/fd/" + std::to_string(ends[0]), lines, &longLine);
  ::close(ends[0]);
  writer.join();
  ::sigaction(SIGPIPE, &previous, nullptr);
  return written;
}

TEST(DataFileBounds, AHugeLineFromAPipeIsRefusedAfterReadingLittleOfIt) {
  // A file without any line end, and a 100 MB value on line 5.
  const std::string fourLines = "a = 1\nb = 2\r\nc = 3\nd = 4\n";
  for (const auto& [prefix, line] : {std::pair<std::string, int>{"", 1}, {fourLines + "e = ", 5}}) {
    DataFileLineArray lines;
    bool read = true;
    int longLine = 0;
    const size_t written = ReadThroughPipe(prefix, read, longLine, lines);
    EXPECT_FALSE(read);
    EXPECT_EQ(longLine, line);
    EXPECT_LT(written, 2'000'000u) << "the reader went on long after the cap";
    EXPECT_EQ(LongDataLineMessage("/data/case.txt", line),
              "\"/data/case.txt\" is not a correct data file! Line " + std::to_string(line) +
                  " is longer than 65536 bytes.");
  }
}

struct LengthCase {
  const char* Name;
  std::string Line;  // line 1, line end included
  bool Read;
};
void PrintTo(const LengthCase& c, std::ostream* os) { *os << c.Name; }

const std::string AtCap(MaxDataLineBytes, 'x');

class DataLineLength : public ::testing::TestWithParam<LengthCase> {};

TEST_P(DataLineLength, TheCapCountsTheLineWithoutItsEnd) {
  const fs::path path = fs::temp_directory_path() / ("chung-length-" + std::to_string(::getpid()));
  std::ofstream(path, std::ios::binary) << GetParam().Line << GoodLines();
  DataFileLineArray lines;
  int longLine = -1;
  EXPECT_EQ(ReadDataFileLines(path.string(), lines, &longLine), GetParam().Read);
  EXPECT_EQ(longLine, GetParam().Read ? 0 : 1);
  if (GetParam().Read) {
    EXPECT_EQ(lines[0], AtCap);
  }
  fs::remove(path);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, DataLineLength,
    ::testing::Values(LengthCase{"AtTheCapWithCrLf", AtCap + "\r\n", true},
                      LengthCase{"OneByteOver", AtCap + "x\n", false},
                      LengthCase{"ALoneCrCountsAsAByte", AtCap + "\rx\n", false},
                      LengthCase{"CarriageReturnsOnly", std::string(MaxDataLineBytes + 2, '\r') + "\n", false}),
    [](const ::testing::TestParamInfo<LengthCase>& info) { return std::string(info.param.Name); });

struct TextCase {
  const char* Name;
  DataFileLineArray Lines;
  bool NotText;
};
void PrintTo(const TextCase& c, std::ostream* os) { *os << c.Name; }

DataFileLineArray Numbered(int line = -1, const std::string& text = "") {
  DataFileLineArray lines;
  for (int k = 0; k < DataFileLineCount; ++k) lines[k] = "Label = " + std::to_string(k);
  if (line >= 0) lines[line] = text;
  return lines;
}

// "a = 1" in UTF-16 with its byte order mark, as the first line would read.
const std::string Utf16Le("\xFF\xFE" "a\0 \0=\0 \0" "1\0\r\0", 14);

class DataFileText : public ::testing::TestWithParam<TextCase> {};

TEST_P(DataFileText, NulBytesOrAUtf16MarkAreNoText) {
  const DataLineValues parsed = ParseDataLines(GetParam().Lines, "/data/case.txt");
  if (GetParam().NotText) {
    EXPECT_FALSE(parsed.Accepted);
    EXPECT_EQ(parsed.Message, "\"/data/case.txt\" is not a text data file! Save it as plain text (ASCII or UTF-8).");
  } else {
    EXPECT_NE(parsed.Message.find("not a correct data file"), std::string::npos) << parsed.Message;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, DataFileText,
    ::testing::Values(TextCase{"NulInAValue", Numbered(4, std::string("Label = 1\0" "5", 11)), true},
                      TextCase{"Utf16LittleEndian", Numbered(0, Utf16Le), true},
                      // A line without "=" is found first, as before.
                      TextCase{"NulAndNoEqualsSign", Numbered(3, std::string("\0", 1)), false}),
    [](const ::testing::TestParamInfo<TextCase>& info) { return std::string(info.param.Name); });

}  // namespace
