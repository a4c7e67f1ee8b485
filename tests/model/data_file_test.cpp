#include "model/data_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "model/input_fields.h"

namespace fs = std::filesystem;

namespace {

const std::string NotADataFile = "\"/data/case.txt\" is not a correct data file!";
const std::string UnitMessage = "To specify the unit of viscosity, select \"0\" or \"1\" only!";

class DataFileTempDir : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    dir_ = fs::temp_directory_path() / ("data_file_test_" + std::to_string(random()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string WriteFile(const std::string& name, const std::string& bytes) {
    const fs::path path = dir_ / name;
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    return path.string();
  }

  fs::path dir_;
};

// 29 well-formed lines whose values tell the lines apart: line k holds "k.5".
DataFileLineArray NumberedLines() {
  DataFileLineArray lines;
  for (int k = 0; k < DataFileLineCount - 1; ++k) {
    lines[k] = "Label " + std::to_string(k + 1) + " = " + std::to_string(k + 1) + ".5";
  }
  lines[DataFileLineCount - 1] = "Viscosity Unit = 1";
  return lines;
}

std::string JoinLines(int count, const std::string& lineEnd) {
  std::string text;
  for (int k = 1; k <= count; ++k) text += "line " + std::to_string(k) + " = " + std::to_string(k) + lineEnd;
  return text;
}

// ---- Reading the lines -------------------------------------------------------

struct LineEndCase {
  const char* Name;
  std::string Bytes;
  std::vector<std::string> FirstLines;
};
void PrintTo(const LineEndCase& c, std::ostream* os) { *os << c.Name; }

class DataFileLineEnds : public DataFileTempDir, public ::testing::WithParamInterface<LineEndCase> {};

TEST_P(DataFileLineEnds, SplitsAsTheLoaderReadsThem) {
  const LineEndCase& c = GetParam();
  DataFileLineArray lines;
  ASSERT_TRUE(ReadDataFileLines(WriteFile("lines.txt", c.Bytes), lines));
  for (std::size_t i = 0; i < c.FirstLines.size(); ++i) {
    EXPECT_EQ(lines[i], c.FirstLines[i]) << "line " << i + 1;
  }
  for (std::size_t i = c.FirstLines.size(); i < lines.size(); ++i) {
    EXPECT_EQ(lines[i], "") << "line " << i + 1;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, DataFileLineEnds,
    ::testing::Values(
        LineEndCase{"CrLf", "a = 1\r\nb = 2\r\n", {"a = 1", "b = 2"}},
        LineEndCase{"Lf", "a = 1\nb = 2\n", {"a = 1", "b = 2"}},
        LineEndCase{"LoneCrDropped", "a = 1\rb = 2\r\nc = 3", {"a = 1b = 2", "c = 3"}},
        LineEndCase{"CrCrLf", "a = 1\r\r\nb", {"a = 1", "b"}},
        LineEndCase{"CrAtEndOfFile", "a = 1\r", {"a = 1"}},
        LineEndCase{"NoFinalLineEnd", "a = 1\nb = 2", {"a = 1", "b = 2"}},
        LineEndCase{"EmptyLinesKept", "\n\na = 1\n", {"", "", "a = 1"}},
        LineEndCase{"TabsAndBlanksKept", "a =\t1  \n", {"a =\t1  "}},
        LineEndCase{"NulByteKept", std::string("a = 1\0x\n", 8), {std::string("a = 1\0x", 7)}},
        LineEndCase{"EmptyFile", "", {}}),
    [](const ::testing::TestParamInfo<LineEndCase>& info) { return std::string(info.param.Name); });

TEST_F(DataFileTempDir, ReadsOnlyTheFirst29Lines) {
  DataFileLineArray lines;
  ASSERT_TRUE(ReadDataFileLines(WriteFile("thirty.txt", JoinLines(30, "\r\n")), lines));
  EXPECT_EQ(lines[0], "line 1 = 1");
  EXPECT_EQ(lines[28], "line 29 = 29");
}

TEST_F(DataFileTempDir, MissingLinesReadAsEmptyOverEarlierEntries) {
  DataFileLineArray lines;
  lines.fill("left from an earlier file");
  ASSERT_TRUE(ReadDataFileLines(WriteFile("short.txt", JoinLines(28, "\n")), lines));
  EXPECT_EQ(lines[27], "line 28 = 28");
  EXPECT_EQ(lines[28], "");
}

TEST_F(DataFileTempDir, MissingFileOrDirectoryIsAFailedRead) {
  DataFileLineArray lines;
  EXPECT_FALSE(ReadDataFileLines((dir_ / "no such file.txt").string(), lines));
  EXPECT_FALSE(ReadDataFileLines(dir_.string(), lines));
  EXPECT_FALSE(ReadDataFileLines("", lines));
}

TEST_F(DataFileTempDir, FileOf28LinesIsRefusedAsNotADataFile) {
  DataFileLineArray lines;
  ASSERT_TRUE(ReadDataFileLines(WriteFile("short.txt", JoinLines(28, "\r\n")), lines));
  const DataLineValues parsed = ParseDataLines(lines, "/data/case.txt");
  EXPECT_FALSE(parsed.Accepted);
  EXPECT_EQ(parsed.Message, NotADataFile);
}

TEST_F(DataFileTempDir, ResultFileUsedAsDataFileIsRefused) {
  // The report's echo lines carry "=", its unit note on line 29 does not.
  std::string report;
  for (int k = 1; k <= 28; ++k) report += "Quantity " + std::to_string(k) + "      (cm) =  15.0\r\n";
  report += "(Note: Viscosity Unit is [gf.s/cm2])\r\n\r\n\r\n[RESULTS]\r\n";
  DataFileLineArray lines;
  ASSERT_TRUE(ReadDataFileLines(WriteFile("result.txt", report), lines));
  const DataLineValues parsed = ParseDataLines(lines, "/data/case.txt");
  EXPECT_FALSE(parsed.Accepted);
  EXPECT_EQ(parsed.Message, NotADataFile);
}

TEST_F(DataFileTempDir, FileOf30LinesLoadsTheFirst29) {
  std::string text;
  for (int k = 1; k <= 28; ++k) text += "Label = " + std::to_string(k) + "  unit\r\n";
  text += "Viscosity Unit = 0\r\nline 30 has no equals sign\r\n";
  DataFileLineArray lines;
  ASSERT_TRUE(ReadDataFileLines(WriteFile("thirty.txt", text), lines));
  const DataLineValues parsed = ParseDataLines(lines, "/data/case.txt");
  ASSERT_TRUE(parsed.Accepted) << parsed.Message;
  EXPECT_EQ(parsed.UnitIndex, 0);
  EXPECT_EQ(parsed.Values[0], "1");
  EXPECT_EQ(parsed.Values[27], "28");
}

// ---- Turning the lines into values -------------------------------------------

TEST(DataLineValuesTest, ValuesFollowTheLineOrder) {
  const DataLineValues parsed = ParseDataLines(NumberedLines(), "/data/case.txt");
  ASSERT_TRUE(parsed.Accepted) << parsed.Message;
  for (int k = 0; k < InputCount; ++k) EXPECT_EQ(parsed.Values[k], std::to_string(k + 1) + ".5");
  EXPECT_EQ(parsed.UnitIndex, 1);
}

struct ValueCase {
  const char* Name;
  std::string Line;
  std::string Value;
};
void PrintTo(const ValueCase& c, std::ostream* os) { *os << c.Name; }

class DataLineValueText : public ::testing::TestWithParam<ValueCase> {};

TEST_P(DataLineValueText, TakesTheTextAfterTheFirstEquals) {
  // First, middle and last value line, so that no position is special.
  for (int line : {0, 13, 27}) {
    DataFileLineArray lines = NumberedLines();
    lines[line] = GetParam().Line;
    const DataLineValues parsed = ParseDataLines(lines, "/data/case.txt");
    ASSERT_TRUE(parsed.Accepted) << parsed.Message;
    EXPECT_EQ(parsed.Values[line], GetParam().Value) << "line " << line + 1;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, DataLineValueText,
    ::testing::Values(ValueCase{"Plain", "Screw Diameter = 15.0", "15.0"},
                      ValueCase{"UnitComment", "Screw Diameter = 15.0  cm", "15.0"},
                      ValueCase{"WordsAfterValue", "Flow = 300.0 kg/hr at the die", "300.0"},
                      ValueCase{"NoBlanks", "Flow=300.0", "300.0"},
                      ValueCase{"LeadingBlanks", "Flow =        300.0", "300.0"},
                      ValueCase{"LeadingTabKept", "Flow =\t300.0", "\t300.0"},
                      ValueCase{"BlankThenTabKept", "Flow = \t300.0 kg/hr", "\t300.0"},
                      ValueCase{"InnerTabKept", "Flow = 300.0\tkg/hr", "300.0\tkg/hr"},
                      ValueCase{"EmptyValue", "Flow =", ""},
                      ValueCase{"OnlyBlanksAfterEquals", "Flow =     ", ""},
                      ValueCase{"LabelWithEquals", "B0 = C0 = 290.0", "C0"},
                      ValueCase{"DoubleEquals", "Flow == 300.0", "="},
                      ValueCase{"NoLabel", "=5", "5"},
                      ValueCase{"NotANumberIsLoadedAsText", "Flow = abc", "abc"}),
    [](const ::testing::TestParamInfo<ValueCase>& info) { return std::string(info.param.Name); });

TEST(DataLineValuesTest, EveryLineNeedsAnEqualsSign) {
  for (int line : {0, 14, 24, 27, 28}) {
    DataFileLineArray lines = NumberedLines();
    lines[line] = "Viscosity Equation Para. (m0) 2.052";
    const DataLineValues parsed = ParseDataLines(lines, "/data/case.txt");
    EXPECT_FALSE(parsed.Accepted) << "line " << line + 1;
    EXPECT_EQ(parsed.Message, NotADataFile) << "line " << line + 1;
  }
}

TEST(DataLineValuesTest, MessageNamesTheFileAsGiven) {
  DataFileLineArray lines = NumberedLines();
  lines[3] = "";
  EXPECT_EQ(ParseDataLines(lines, "/home/user/My Data/a b.txt").Message,
            "\"/home/user/My Data/a b.txt\" is not a correct data file!");
}

TEST(DataLineValuesTest, MissingEqualsIsFoundBeforeABadUnit) {
  DataFileLineArray lines = NumberedLines();
  lines[20] = "no equals sign here";
  lines[28] = "Viscosity Unit = abc";
  EXPECT_EQ(ParseDataLines(lines, "/data/case.txt").Message, NotADataFile);
}

struct UnitCase {
  std::string Text;
  std::optional<int32_t> UnitIndex;  // empty when the unit message is expected
};
void PrintTo(const UnitCase& c, std::ostream* os) { *os << '"' << c.Text << '"'; }

class DataLineUnit : public ::testing::TestWithParam<UnitCase> {};

TEST_P(DataLineUnit, SelectsPaSForZeroAndGfForAnyOtherInteger) {
  DataFileLineArray lines = NumberedLines();
  lines[28] = "Viscosity Unit =" + GetParam().Text;
  const DataLineValues parsed = ParseDataLines(lines, "/data/case.txt");
  if (GetParam().UnitIndex) {
    ASSERT_TRUE(parsed.Accepted) << parsed.Message;
    EXPECT_EQ(parsed.UnitIndex, *GetParam().UnitIndex);
  } else {
    EXPECT_FALSE(parsed.Accepted);
    EXPECT_EQ(parsed.Message, UnitMessage);
    // A refused file gives no values that a caller could apply by mistake.
    for (const std::string& value : parsed.Values) EXPECT_EQ(value, "");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Accepted, DataLineUnit,
    ::testing::Values(UnitCase{" 0", 0}, UnitCase{" 00", 0}, UnitCase{" +0", 0},
                      UnitCase{" -0", 0}, UnitCase{" $0", 0}, UnitCase{" 0x0", 0},
                      UnitCase{" -x0", 0}, UnitCase{"      0   gf", 0}, UnitCase{"0", 0},
                      UnitCase{" 1", 1}, UnitCase{" 2", 1}, UnitCase{" -1", 1},
                      UnitCase{" $1F", 1}, UnitCase{" $ff", 1}, UnitCase{" 0x10", 1},
                      UnitCase{" 0X10", 1}, UnitCase{" x10", 1}, UnitCase{" X10", 1},
                      UnitCase{" -$1", 1}, UnitCase{" 1 (gf.s/cm2)", 1},
                      UnitCase{" 2147483647", 1}, UnitCase{" -2147483648", 1},
                      UnitCase{" 0x7FFFFFFF", 1}, UnitCase{" -0x80000000", 1},
                      UnitCase{" 00000000000000000000001", 1}, UnitCase{" -$0", 0},
                      // Hexadecimal is a 32-bit pattern: these are negative numbers.
                      UnitCase{" 0x80000000", 1}, UnitCase{" $FFFFFFFF", 1}));

INSTANTIATE_TEST_SUITE_P(
    Refused, DataLineUnit,
    ::testing::Values(UnitCase{" 1.0", {}}, UnitCase{" 0.5", {}}, UnitCase{" abc", {}},
                      UnitCase{"", {}}, UnitCase{"    ", {}}, UnitCase{" 2147483648", {}},
                      UnitCase{" -2147483649", {}}, UnitCase{" 4294967296", {}},
                      UnitCase{" 99999999999999999999", {}}, UnitCase{" 0x100000000", {}},
                      UnitCase{" +", {}}, UnitCase{" -", {}},
                      UnitCase{" $", {}}, UnitCase{" 0x", {}}, UnitCase{" x", {}},
                      UnitCase{" -$", {}}, UnitCase{" 0x1G", {}}, UnitCase{" 00x10", {}},
                      UnitCase{" 1e0", {}}, UnitCase{" +-1", {}}, UnitCase{" --1", {}},
                      UnitCase{" \t1", {}}, UnitCase{" 1\t", {}}, UnitCase{" 1,0", {}},
                      UnitCase{" 0b1", {}}));

}  // namespace
