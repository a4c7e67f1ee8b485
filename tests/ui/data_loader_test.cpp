// "Read Data File": the dialog, the reading, and what a file may and may not
// change in the window.

#include <QFile>
#include <QLineEdit>
#include <sstream>
#include <vector>

#include "cli/batch_run.h"

#include "model/input_fields.h"
#include "ui/common/radio_group.h"
#include "ui_test_support.h"

namespace {

// A data file's labels and values in line order, as a user would write one.
std::vector<std::string> DefaultLines() {
  return {"Screw Diameter (cm) = 15.0",
          "Turns of Feed Zone = 10.0",
          "Turns of Compression Zone = 6.0",
          "Turns of Metering Zone = 8.7",
          "Turns of Delay in Melting = 5.0",
          "Depth of Feed Zone Channel (cm) = 1.4",
          "Depth of Meter. Zone Channel (cm) = 0.4",
          "Screw Pitch (cm) = 15.0",
          "Flight Width (cm) = 1.5",
          "Number of Revolution (rpm) = 38.0",
          "Output (kg/hr) = 300.0",
          "Barrel Temp. Para. (B0) = 290.0",
          "Barrel Temp. Para. (B1) = 0.0",
          "Barrel Temp. Para. (B2) = 0.0",
          "Viscosity Equation Para. (m0) = 2.052",
          "Viscosity Equation Para. (b) = 0.036",
          "Viscosity Equation Para. (n) = 0.835",
          "Viscosity Equation Para. (T0) = 290.0",
          "Density of Solid (g/cm3) = 1.34",
          "Density of Melt (g/cm3) = 1.2",
          "Specific Heat of Solid = 0.4",
          "Heat of Fusion (cal/g) = 17.7",
          "Specific Heat of Melt = 0.48",
          "Thermal Cond of Melt = 0.00052",
          "Melting Point = 265.0",
          "Solid Temperature at Inlet = 30.0",
          "Solid Bed Comp. Factor at Inlet (-) = 0.6",
          "Solid Width Ratio at Start (-) = 1.0",
          "Viscosity Unit (0: Pa.s, 1: gf.s/cm2) = 1"};
}

// Window fields of lines 1 to 28.
const char* const LineFields[] = {"Edit1",  "Edit2",  "Edit3",  "Edit4",  "Edit5",  "Edit6",  "Edit7",
                                  "Edit8",  "Edit9",  "Edit10", "Edit11", "Edit12", "Edit13", "Edit14",
                                  "Edit15", "Edit16", "Edit17", "Edit18", "Edit21", "Edit22", "Edit23",
                                  "Edit24", "Edit25", "Edit26", "Edit27", "Edit28", "Edit19", "Edit20"};

class LoaderTest : public WindowTest {
 protected:
  // Writes the lines with CR LF and answers the next open dialog with the file.
  QString OfferFile(const std::vector<std::string>& lines, const QString& name = "data.txt") {
    QByteArray content;
    for (const auto& line : lines) content += QByteArray::fromStdString(line) + "\r\n";
    const QString path = QDir(StartDir()).filePath(name);
    WriteFile(path, content);
    Recorder.DataFileAnswers.push_back({path});
    return path;
  }
  void Load() { Control<QPushButton>("InputDataBtn")->click(); }

  QStringList FieldTexts() {
    QStringList texts;
    for (const char* field : LineFields) texts << Control<QLineEdit>(field)->text();
    return texts;
  }
  int Unit() { return Control<TRadioGroup>("RadioGroup1")->ItemIndex(); }
  QString Text(const char* field) { return Control<QLineEdit>(field)->text(); }
};

TEST_F(LoaderTest, NoFileChosenGivesTheMessageAndChangesNothing) {
  const QStringList before = FieldTexts();
  Load();  // cancelled: the double answers with no file
  Recorder.DataFileAnswers.push_back({QDir(StartDir()).filePath("a.txt"), QDir(StartDir()).filePath("b.txt")});
  Load();
  EXPECT_EQ(Recorder.MessageTexts(), QStringList(2, "Select one data file! Please try again."));
  EXPECT_EQ(FieldTexts(), before);
  EXPECT_TRUE(Window->DataFileName.empty());
  // The dialog starts in the directory list's folder with the two filters.
  ASSERT_EQ(Recorder.FileRequests.size(), 2u);
  EXPECT_EQ(Recorder.FileRequests[0].StartDir, StartDir());
  EXPECT_EQ(Recorder.FileRequests[0].Filter, "Text Files (*.txt);;All Files (*)");
}

TEST_F(LoaderTest, MissingFileCanNotOpen) {
  const QString path = QDir(StartDir()).filePath("missing.txt");
  Recorder.DataFileAnswers.push_back({path});
  const QStringList before = FieldTexts();
  Load();
  EXPECT_EQ(Recorder.MessageTexts(), QStringList{"Data file can not open!"});
  EXPECT_EQ(FieldTexts(), before);
  EXPECT_EQ(Window->DataFileName, path.toStdString());
}

TEST_F(LoaderTest, LoadsEnabledFieldsAndKeepsTheFixedOnes) {
  std::vector<std::string> lines = DefaultLines();
  for (int i = 0; i < 28; ++i) lines[static_cast<size_t>(i)] = "label " + std::to_string(i + 1) + " = " + std::to_string(i + 1) + ".5";
  lines[24] = "Melting Point = not a number";  // fixed fields ignore even nonsense
  lines[28] = "unit = 0";
  lines.push_back("a 30th line without an equals sign is never read");
  const QString path = OfferFile(lines);
  Load();
  EXPECT_TRUE(Recorder.Messages.empty()) << Recorder.MessageTexts().join('|').toStdString();
  EXPECT_EQ(Unit(), 0);
  EXPECT_EQ(Window->DataFileName, path.toStdString());
  for (int i = 0; i < 28; ++i) {
    SCOPED_TRACE(LineFields[i]);
    const bool fixed = i >= 14 && i <= 24;
    const QString expected = fixed ? QString::fromLatin1(InputFields[static_cast<size_t>(i)].InitialText)
                                   : QString::number(i + 1) + ".5";
    EXPECT_EQ(Text(LineFields[i]), expected);
  }
}

TEST_F(LoaderTest, ValueRulesBlanksCommentsTabsAndEmptyValues) {
  std::vector<std::string> lines = DefaultLines();
  lines[0] = "Screw Diameter (cm) =      16.5 cm, the big one";
  lines[1] = "Turns of Feed Zone =\t11";
  lines[2] = "Turns = of = Compression";
  lines[3] = "Turns of Metering Zone =";
  lines[4] = "Turns of Delay =    ";
  OfferFile(lines);
  Load();
  EXPECT_TRUE(Recorder.Messages.empty()) << Recorder.MessageTexts().join('|').toStdString();
  EXPECT_EQ(Text("Edit1"), "16.5");
  EXPECT_EQ(Text("Edit2"), "\t11");
  EXPECT_EQ(Text("Edit3"), "of");
  EXPECT_EQ(Text("Edit4"), "");
  EXPECT_EQ(Text("Edit5"), "");
}

TEST_F(LoaderTest, ShortFileIsNotADataFileAndChangesNothing) {
  std::vector<std::string> lines = DefaultLines();
  lines[0] = "Screw Diameter = 99";
  lines[28] = "unit = 0";
  lines.pop_back();  // 28 lines: the 29th reads as empty
  const QString path = OfferFile(lines);
  const QStringList before = FieldTexts();
  Load();
  EXPECT_EQ(Recorder.MessageTexts(), QStringList{"\"" + path + "\" is not a correct data file!"});
  EXPECT_EQ(FieldTexts(), before);
  EXPECT_EQ(Unit(), 1);
}

struct UnitCase {
  const char* Value;
  int Expected;  // -1: refused with the unit message
};

class UnitLineTest : public LoaderTest, public ::testing::WithParamInterface<UnitCase> {};

TEST_P(UnitLineTest, Line29SelectsTheUnitOrRefusesTheFile) {
  const UnitCase& unit = GetParam();
  // Start from the other unit so that a change shows.
  Control<TRadioGroup>("RadioGroup1")->SetItemIndex(unit.Expected == 0 ? 1 : 0);
  const int before = Unit();
  std::vector<std::string> lines = DefaultLines();
  lines[0] = "Screw Diameter = 17";
  lines[28] = std::string("Viscosity Unit = ") + unit.Value;
  OfferFile(lines);
  Load();
  if (unit.Expected < 0) {
    EXPECT_EQ(Recorder.MessageTexts(), QStringList{"To specify the unit of viscosity, select \"0\" or \"1\" only!"});
    EXPECT_EQ(Unit(), before);
    EXPECT_EQ(Text("Edit1"), "15.0");
  } else {
    EXPECT_TRUE(Recorder.Messages.empty());
    EXPECT_EQ(Unit(), unit.Expected);
    EXPECT_EQ(Text("Edit1"), "17");
  }
}

INSTANTIATE_TEST_SUITE_P(Values, UnitLineTest,
                         ::testing::Values(UnitCase{"0", 0}, UnitCase{"00", 0}, UnitCase{"+0", 0}, UnitCase{"-0", 0},
                                           UnitCase{"1", 1}, UnitCase{"2", 1}, UnitCase{"-1", 1},
                                           UnitCase{"1.0", -1}, UnitCase{"0.5", -1}, UnitCase{"", -1},
                                           UnitCase{"abc", -1}));

TEST_F(LoaderTest, LoadedFileThenGoWritesTheReport) {
  std::vector<std::string> lines = DefaultLines();
  lines[0] = "Screw Diameter (cm) = 16.0";
  lines[10] = "Output (kg/hr) = 280.0";
  lines[17] = "Viscosity Equation Para. (T0) = 999";  // a fixed field: not loaded
  lines[28] = "unit = 0";
  OfferFile(lines);
  Load();
  ASSERT_TRUE(Recorder.Messages.empty()) << Recorder.MessageTexts().join('|').toStdString();
  Control<QPushButton>("BitBtn1")->click();
  EXPECT_TRUE(Recorder.Messages.empty()) << Recorder.MessageTexts().join('|').toStdString();
  ASSERT_EQ(Recorder.FinishForms.size(), 1u);
  EXPECT_EQ(Window->State().Inputs.ScrewDiameter, 16.0);
  EXPECT_EQ(Window->State().Inputs.OutputRate, 280.0);
  EXPECT_EQ(Window->State().Inputs.ViscT0, 290.0);
  EXPECT_EQ(Window->State().ViscousHeatFactor, 2.389e-07);
  QFile report(QDir(StartDir()).filePath("result.txt"));
  ASSERT_TRUE(report.open(QIODevice::ReadOnly));
  const QByteArray windowReport = report.readAll();

  // The batch tool on the same file writes the same bytes.
  const std::string batchResult = QDir(StartDir()).filePath("batch.txt").toStdString();
  std::ostringstream out, err;
  ASSERT_EQ(RunBatch({QDir(StartDir()).filePath("data.txt").toStdString(), "-o", batchResult}, out, err, '.'),
            BatchExitCompleted)
      << err.str();
  QFile batchReport(QString::fromStdString(batchResult));
  ASSERT_TRUE(batchReport.open(QIODevice::ReadOnly));
  EXPECT_EQ(windowReport, batchReport.readAll());
  EXPECT_TRUE(windowReport.contains("(Note: Viscosity Unit is [Pa.s])"));
}

TEST_F(LoaderTest, AResultFileIsNotADataFile) {
  Control<QPushButton>("BitBtn1")->click();
  ASSERT_EQ(Recorder.FinishForms.size(), 1u);
  const QString path = QDir(StartDir()).filePath("result.txt");
  Recorder.DataFileAnswers.push_back({path});
  const QStringList before = FieldTexts();
  Load();
  EXPECT_EQ(Recorder.MessageTexts(), QStringList{"\"" + path + "\" is not a correct data file!"});
  EXPECT_EQ(FieldTexts(), before);
}

}  // namespace
