#include "report/result_file.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

class RecordingMessages : public UserMessages {
 public:
  void ShowMessage(const std::string& text) override { Texts.push_back(text); }
  std::vector<std::string> Texts;
};

// The window's default inputs with the gf.s/cm2 unit; the record is large, so
// it lives on the heap.
std::unique_ptr<ModelState> DefaultState(const std::string& fileName) {
  auto state = std::make_unique<ModelState>();
  ModelInputs& in = state->Inputs;
  in.ScrewDiameter = 15.0;
  in.FeedTurns = 10.0;
  in.CompressionTurns = 6.0;
  in.MeteringTurns = 8.7;
  in.DelayTurns = 5.0;
  in.FeedDepth = 1.4;
  in.MeteringDepth = 0.4;
  in.ScrewPitch = 15.0;
  in.FlightWidth = 1.5;
  in.ScrewSpeed = 38.0;
  in.OutputRate = 300.0;
  in.BarrelB0 = 290.0;
  in.BarrelB1 = 0.0;
  in.BarrelB2 = 0.0;
  in.ViscM0 = 2.052;
  in.ViscB = 0.036;
  in.ViscN = 0.835;
  in.ViscT0 = 290.0;
  in.SolidDensity = 1.34;
  in.MeltDensity = 1.2;
  in.SolidSpecificHeat = 0.4;
  in.HeatOfFusion = 17.7;
  in.MeltSpecificHeat = 0.48;
  in.MeltConductivity = 0.00052;
  in.MeltingPoint = 265.0;
  in.SolidInletTemp = 30.0;
  in.InletCompaction = 0.6;
  in.StartWidthRatio = 1.0;
  in.ViscosityUnit = ViscosityUnit::GfSPerCm2;
  in.ResultFileName = fileName;
  return state;
}

void SetRow(ModelState& state, int i, double flight, double depth, double film, double width,
            double solid, double barrel) {
  state.Grid.Flight[i] = flight;
  state.Grid.Depth[i] = depth;
  state.Profile.FilmThickness[i] = film;
  state.Profile.WidthRatio[i] = width;
  state.Profile.SolidFraction[i] = solid;
  state.Grid.BarrelTemp[i] = barrel;
}

std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

// Lines 1 to 31 for the default inputs, written out by hand from the report's
// layout; "\x81\x8E" is the code page 932 degree sign.
const std::string DefaultEcho = Lines({
    "Screw Diameter                     (cm) =  15.0",
    "Turns of Feed Zone                      =  10.0",
    "Turns of Compression Zone               =  6.0",
    "Turns of Metering Zone                  =  8.7",
    "Turns of Delay in Metering              =  5.0",
    "Depth of Feed Zone Channel         (cm) =  1.40",
    "Depth of Metering Zone Channel     (cm) =  0.40",
    "Screw Pitch                        (cm) =  15.0",
    "Flight Width                       (cm) =  1.50",
    "Number of Revolution              (rpm) =  38.0",
    "Output                          (kg/hr) =  300.0",
    "Barrel Temperature Para.(B0)       (\x81\x8E" ") =  290.0",
    "Barrel Temperature Para.(B1)            =  0.000",
    "Barrel Temperature Para.(B2)            =  0.000",
    "Viscosity Equation Para. (m0)           =  2.0520E+00",
    "Viscosity Equation Para. (b)            =  3.6000E-02",
    "Viscosity Equation Para. (n)            =  0.8350",
    "Viscosity Equation Para. (T0)           =  290.0",
    "Density of Solid                (g/cm3) =  1.340",
    "Density of Melt                 (g/cm3) =  1.200",
    "Specific Heat of Solid       (cal/g.\x81\x8E" ") =  0.400",
    "Heat of Fusion                  (cal/g) =  17.70",
    "Specific Heat of Melt        (cal/g.\x81\x8E" ") =  0.480",
    "Thermal Cond. of Melt     (cal/s.cm.\x81\x8E" ") =  0.0005200",
    "Melting Point                      (\x81\x8E" ") =  265.0",
    "Solid Temperature at Inlet         (\x81\x8E" ") =  30.0",
    "Solid Bed Compaction Factor at Inlet    =  0.600",
    "Solid Width Ratio at Start              =  1.000",
    "(Note: Viscosity Unit is [gf.s/cm2])",
    "",
    "",
});

const std::string TableHeader = " FLIGHT   DEPTH   FILM THICK   X/W      QS/QT      TB ";

std::string ReadBytes(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int OpenDescriptorCount() {
  int count = 0;
  if (DIR* dir = opendir("/proc/self/fd")) {
    while (readdir(dir) != nullptr) ++count;
    closedir(dir);
  }
  return count;
}

class ResultFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "report_test_XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    Directory = pattern;
    FileName = (fs::path(Directory) / "result.txt").string();
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(Directory, ignored);
  }

  void WriteAll(const ModelState& state, char separator = '.') {
    WriteInputEcho(state, Messages, separator);
    WriteResultsHeader(state, Messages, separator);
    WriteProfileTable(state, Messages, separator);
  }

  std::string Directory;
  std::string FileName;
  RecordingMessages Messages;
};

TEST_F(ResultFileTest, CompleteReportMatchesTheLayoutByteForByte) {
  auto state = DefaultState(FileName);
  state->Operating.MeltStartBedTemp = 123.456;
  state->Operating.ConveyingAngle = 0.2617993877991494;  // 15 degrees
  state->Profile.RowCount = 1;
  SetRow(*state, 0, 4.6, 0.9, 0.00123, 0.9876, 0.95, 185.0);
  state->Profile.MeltingPower = 22.46;
  state->Profile.NetMeltingEnergy = 23.44;

  WriteAll(*state);

  const std::string expected =
      DefaultEcho + Lines({
                        "[RESULTS]",
                        "Solid Bed Temp. at Melt. Starts    (\x81\x8E" ") =  123.5",
                        "Solid Conveying Angle             (rad) =  2.6180E-01  [15.0000deg]",
                        "",
                        TableHeader,
                        "  4.60    0.900     0.0012    0.9876    0.9500    185.0",
                        "",
                        "Motor Power for Melting [Solid Bed Part]  (kW) =  22.5",
                        "Net Melting Energy after melting starts   (kW) =  23.4",
                        "",
                    });
  EXPECT_EQ(ReadBytes(FileName), expected);
  EXPECT_TRUE(Messages.Texts.empty());
}

TEST_F(ResultFileTest, PaSUnitWritesThePaSNote) {
  auto state = DefaultState(FileName);
  state->Inputs.ViscosityUnit = ViscosityUnit::PaS;
  WriteInputEcho(*state, Messages);
  const std::string text = ReadBytes(FileName);
  EXPECT_NE(text.find("\r\n(Note: Viscosity Unit is [Pa.s])\r\n\r\n\r\n"), std::string::npos);
  EXPECT_EQ(text.find("gf.s/cm2"), std::string::npos);
}

TEST_F(ResultFileTest, NoRowsGivesFortyLines) {
  auto state = DefaultState(FileName);
  state->Profile.RowCount = 0;
  SetRow(*state, 0, 1, 1, 1, 1, 1, 1);  // left over from an earlier run: not printed
  WriteAll(*state);

  const std::string text = ReadBytes(FileName);
  const std::string tail = Lines({TableHeader, "",
                                  "Motor Power for Melting [Solid Bed Part]  (kW) =  0.0",
                                  "Net Melting Energy after melting starts   (kW) =  0.0", ""});
  ASSERT_GE(text.size(), tail.size());
  EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
  size_t lineEnds = 0;
  for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) {
    ++lineEnds;
  }
  EXPECT_EQ(lineEnds, 40u);
  EXPECT_EQ(text.compare(0, DefaultEcho.size(), DefaultEcho), 0);
}

TEST_F(ResultFileTest, RowsKeepTheirOrderAndWideValuesShiftTheRow) {
  auto state = DefaultState(FileName);
  state->Profile.RowCount = 4;
  SetRow(*state, 0, 0.0, 1.4, 0.0, 1.0, 1.0, 290.0);
  SetRow(*state, 1, 5.0, 1.4, 0.00004, 0.99996, 0.99999, 1000.0);  // barrel temp one char wider
  SetRow(*state, 2, 12.345, 0.4, -0.00001, 0.5, 0.25, 2.5e5);      // 12.34500000000000064, -0, 2.5E5
  SetRow(*state, 3, 123456.0, 0.4, 0.1, 0.0, 0.0, 300.0);          // flight wider than its column
  SetRow(*state, 4, 7, 7, 7, 7, 7, 7);                              // beyond RowCount
  WriteProfileTable(*state, Messages);  // the file must exist for appending
  ASSERT_EQ(Messages.Texts.size(), 1u);

  std::ofstream(FileName, std::ios::binary).flush();
  Messages.Texts.clear();
  WriteProfileTable(*state, Messages);
  EXPECT_TRUE(Messages.Texts.empty());
  const std::string expected = Lines({
      TableHeader,
      "  0.00    1.400     0.0000    1.0000    1.0000    290.0",
      "  5.00    1.400     0.0000    1.0000    1.0000    1000.0",
      " 12.35    0.400     0.0000    0.5000    0.2500    2.5E5",
      " 1.2346E05    0.400     0.1000    0.0000    0.0000    300.0",
      "",
      "Motor Power for Melting [Solid Bed Part]  (kW) =  0.0",
      "Net Melting Energy after melting starts   (kW) =  0.0",
      "",
  });
  EXPECT_EQ(ReadBytes(FileName), expected);
}

TEST_F(ResultFileTest, RowCountIsBoundedByTheArrays) {
  auto state = DefaultState(FileName);
  for (int i = 0; i < MaxGridPoints; ++i) SetRow(*state, i, i * 0.01, 1, 0, 1, 1, 290);
  const int headerAndTail = 5;

  for (int32_t rowCount : {MaxGridPoints, MaxGridPoints + 100, -3}) {
    std::ofstream(FileName, std::ios::binary).flush();
    state->Profile.RowCount = rowCount;
    WriteProfileTable(*state, Messages);
    const std::string text = ReadBytes(FileName);
    size_t lines = 0;
    for (char c : text) lines += c == '\n';
    const size_t expectedRows = rowCount < 0 ? 0 : MaxGridPoints;
    EXPECT_EQ(lines, expectedRows + headerAndTail) << "RowCount " << rowCount;
    if (expectedRows > 0) {
      EXPECT_NE(text.find("\r\n  6.00    1.000     0.0000    1.0000    1.0000    290.0\r\n\r\n"),
                std::string::npos);
    }
  }
  EXPECT_TRUE(Messages.Texts.empty());
}

TEST_F(ResultFileTest, AngleInDegreesIsPrintedWithoutABlankBeforeDeg) {
  auto state = DefaultState(FileName);
  std::ofstream(FileName, std::ios::binary).flush();
  state->Operating.MeltStartBedTemp = -0.04;
  state->Operating.ConveyingAngle = -0.7853981633974483;  // -pi/4
  WriteResultsHeader(*state, Messages);
  EXPECT_EQ(ReadBytes(FileName),
            Lines({"[RESULTS]", "Solid Bed Temp. at Melt. Starts    (\x81\x8E" ") =  0.0",
                   "Solid Conveying Angle             (rad) =  -7.8540E-01  [-45.0000deg]", ""}));
}

TEST_F(ResultFileTest, DecimalSeparatorReachesEveryNumber) {
  auto state = DefaultState(FileName);
  state->Operating.ConveyingAngle = 0.2617993877991494;
  state->Profile.RowCount = 1;
  SetRow(*state, 0, 4.6, 0.9, 0.00123, 0.9876, 0.95, 185.0);
  WriteAll(*state, ',');
  const std::string text = ReadBytes(FileName);
  EXPECT_NE(text.find("(cm) =  15,0\r\n"), std::string::npos);
  EXPECT_NE(text.find("=  2,0520E+00\r\n"), std::string::npos);
  EXPECT_NE(text.find("=  2,6180E-01  [15,0000deg]\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\n  4,60    0,900     0,0012    0,9876    0,9500    185,0\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("(kW) =  0,0\r\n"), std::string::npos);
}

TEST_F(ResultFileTest, ExistingLongerFileIsReplacedEntirely) {
  {
    std::ofstream old(FileName, std::ios::binary);
    old << std::string(20000, 'x');
  }
  auto state = DefaultState(FileName);
  WriteInputEcho(*state, Messages);
  EXPECT_EQ(ReadBytes(FileName), DefaultEcho);
  EXPECT_TRUE(Messages.Texts.empty());
}

TEST_F(ResultFileTest, UnopenableFileShowsTheThreeMessagesInOrder) {
  const std::string missing = (fs::path(Directory) / "no such dir" / "result.txt").string();
  auto state = DefaultState(missing);
  WriteAll(*state);
  EXPECT_EQ(Messages.Texts, (std::vector<std::string>{"File can not open!", "File can not open!",
                                                      "Can not write result to file"}));
  EXPECT_FALSE(fs::exists(missing));

  // A directory in place of the file can not be opened either.
  Messages.Texts.clear();
  state->Inputs.ResultFileName = Directory;
  WriteAll(*state);
  EXPECT_EQ(Messages.Texts.size(), 3u);
}

TEST_F(ResultFileTest, NameWithANulByteNeverWritesToItsFirstPart) {
  auto state = DefaultState(FileName + std::string(1, '\0') + "tail");
  WriteAll(*state);
  EXPECT_EQ(Messages.Texts, (std::vector<std::string>{"File can not open!", "File can not open!",
                                                      "Can not write result to file"}));
  EXPECT_FALSE(fs::exists(FileName));
}

TEST_F(ResultFileTest, AppendingPassesNeverCreateAMissingFile) {
  auto state = DefaultState(FileName);
  WriteResultsHeader(*state, Messages);
  WriteProfileTable(*state, Messages);
  EXPECT_EQ(Messages.Texts,
            (std::vector<std::string>{"File can not open!", "Can not write result to file"}));
  EXPECT_FALSE(fs::exists(FileName));
}

TEST_F(ResultFileTest, FailedWriteThrowsWithTheSystemReasonAndClosesTheFile) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "/dev/full is not available";
  auto state = DefaultState("/dev/full");
  state->Profile.RowCount = MaxGridPoints;  // more than one buffer's worth of rows
  const int before = OpenDescriptorCount();

  using Pass = void (*)(const ModelState&, UserMessages&, char);
  for (Pass pass : {Pass{WriteInputEcho}, Pass{WriteResultsHeader}, Pass{WriteProfileTable}}) {
    try {
      pass(*state, Messages, '.');
      ADD_FAILURE() << "a write to a full device must throw";
    } catch (const std::runtime_error& error) {
      const std::string text = error.what();
      EXPECT_NE(text.find("/dev/full"), std::string::npos) << text;
      EXPECT_NE(text.find("No space left on device"), std::string::npos) << text;
    }
    EXPECT_EQ(OpenDescriptorCount(), before);
  }
  EXPECT_TRUE(Messages.Texts.empty());
}

TEST_F(ResultFileTest, NameOf259BytesWorks) {
  // Components stay below the 255-byte limit of a single name.
  std::string name = Directory;
  while (name.size() + 1 + 200 < 259) {
    name.append("/").append(199, 'd');
    ASSERT_TRUE(fs::create_directory(name));
  }
  const size_t remaining = 259 - name.size() - 1;
  ASSERT_GE(remaining, 5u) << "temporary directory path too long for this test";
  name.append("/").append(remaining - 4, 'r').append(".txt");
  ASSERT_EQ(name.size(), 259u);

  auto state = DefaultState(name);
  WriteAll(*state);
  EXPECT_TRUE(Messages.Texts.empty());
  const std::string text = ReadBytes(name);
  EXPECT_EQ(text.compare(0, DefaultEcho.size(), DefaultEcho), 0);
  EXPECT_NE(text.find("[RESULTS]\r\n"), std::string::npos);
  EXPECT_NE(text.find(TableHeader + "\r\n"), std::string::npos);
}

}  // namespace
