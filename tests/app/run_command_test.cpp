#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/run_command.h"
#include "message_recorder.h"

namespace fs = std::filesystem;

namespace {

// Index of a text by the window field that carries it.
int TextIndex(const std::string& windowField) {
  for (int k = 0; k < InputCount; ++k)
    if (windowField == InputFields[k].WindowField) return k;
  return InputCount;  // Edit29
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class RunCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = fs::current_path();
    dir_ = fs::temp_directory_path() / ("chung-run-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    fs::current_path(dir_);
  }
  void TearDown() override {
    fs::current_path(previous_);
    fs::remove_all(dir_);
  }

  RunOutcome Run(const RunTexts& texts, int32_t unitIndex = 1, char separator = '.') {
    return RunCommand(state, texts, unitIndex, messages, separator);
  }
  RunOutcome RunWith(const std::string& field, const std::string& text) {
    RunTexts texts = InitialRunTexts();
    texts[TextIndex(field)] = text;
    return Run(texts);
  }

  ModelState state;
  MessageRecorder messages;
  fs::path previous_, dir_;
};

TEST_F(RunCommandTest, DefaultTextsCompleteAndWriteTheReport) {
  const RunOutcome outcome = Run(InitialRunTexts());
  ASSERT_EQ(outcome.Result, RunResult::Completed) << outcome.Message;
  EXPECT_TRUE(messages.Shown.empty());
  const std::string report = ReadFile(dir_ / "result.txt");
  size_t lines = 0;
  for (size_t pos = 0; (pos = report.find("\r\n", pos)) != std::string::npos; pos += 2) ++lines;
  EXPECT_EQ(lines, 237u);
  EXPECT_NE(report.find("(kW) =  22.5\r\n"), std::string::npos);
  EXPECT_NE(report.find("(kW) =  23.4\r\n"), std::string::npos);
  EXPECT_EQ(state.Profile.RowCount, 197);
}

TEST_F(RunCommandTest, ConversionStopsAtTheFirstBadTextAndKeepsWhatCameBefore) {
  state.Inputs.FeedTurns = 77;
  state.Inputs.StartWidthRatio = 0.5;
  state.Inputs.ResultFileName = "old.txt";
  RunTexts texts = InitialRunTexts();
  texts[0] = "12.5";
  texts[1] = "abc";
  const RunOutcome outcome = Run(texts);
  EXPECT_EQ(outcome.Result, RunResult::Rejected);
  EXPECT_EQ(outcome.Message, "Input value is not correct!");
  EXPECT_EQ(state.Inputs.ScrewDiameter, 12.5);
  EXPECT_EQ(state.Inputs.FeedTurns, 77);
  EXPECT_EQ(state.Inputs.StartWidthRatio, 0.5);
  EXPECT_EQ(state.Inputs.ResultFileName, "old.txt");
  EXPECT_FALSE(fs::exists(dir_ / "result.txt"));
}

struct Refusal {
  std::vector<std::pair<const char*, const char*>> changes;  // window field, text
  const char* message;
};

class RefusedRun : public RunCommandTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(RefusedRun, GivesOnlyTheFirstMessage) {
  RunTexts texts = InitialRunTexts();
  for (const auto& [field, text] : GetParam().changes) texts[TextIndex(field)] = text;
  const RunOutcome outcome = Run(texts);
  EXPECT_EQ(outcome.Result, RunResult::Rejected);
  EXPECT_EQ(outcome.Message, GetParam().message);
  EXPECT_FALSE(fs::exists(dir_ / "result.txt"));
  EXPECT_EQ(state.Profile.RowCount, 0);  // nothing calculated
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, RefusedRun,
    ::testing::Values(
        Refusal{{{"Edit1", "0"}, {"Edit2", "x"}}, "Input value is not correct!"},
        Refusal{{{"Edit1", "-1"}, {"Edit2", "0"}}, "Value of Screw Diameter is not correct!"},
        Refusal{{{"Edit1", ""}}, "Input value is not correct!"},
        Refusal{{{"Edit1", "1e400"}}, "Input value is not correct!"},
        Refusal{{{"Edit1", "15,0"}}, "Input value is not correct!"},
        Refusal{{{"Edit2", "0"}}, "Value of Turns of Feed Zone is not correct!"},
        Refusal{{{"Edit3", "0"}}, "Value of Turns of Compression Zone is not correct!"},
        Refusal{{{"Edit4", "0"}}, "Value of Turns of Metering Zone is not correct!"},
        Refusal{{{"Edit5", "0"}}, "Value of Turns of Delay in Metering is not correct!"},
        Refusal{{{"Edit6", "0"}}, "Value of Depth of Feed Zone Channel is not correct!"},
        Refusal{{{"Edit7", "0"}}, "Value of Depth of Metering Zone Channel is not correct!"},
        Refusal{{{"Edit8", "0"}}, "Value of Screw Pitch is not correct!"},
        Refusal{{{"Edit9", "0"}}, "Value of Flight Width is not correct!"},
        Refusal{{{"Edit10", "0"}}, "Value of Number of Revolution is not correct!"},
        Refusal{{{"Edit11", "-300"}}, "Value of Flow Rate is not correct!"},
        Refusal{{{"Edit12", "0"}}, "Value of Barrel Temp. Para. (C0) is not correct!"},
        Refusal{{{"Edit21", "0"}}, "Value of Density of Solid is not correct!"},
        Refusal{{{"Edit22", "0"}}, "Value of Density of Melt is not correct!"},
        Refusal{{{"Edit23", "0"}}, "Value of Specific Heat of Solid is not correct!"},
        Refusal{{{"Edit24", "-0.1"}}, "Value of Heat of Fusion is not correct!"},
        Refusal{{{"Edit25", "0"}}, "Value of Specific Heat of Melt is not correct!"},
        Refusal{{{"Edit26", "0"}}, "Value of Thermal Conductivity of Melt is not correct!"},
        Refusal{{{"Edit27", "-5"}}, "Value of Melting Point is not correct!"},
        Refusal{{{"Edit28", "0"}}, "Value of Solid Temperature at Inlet is not correct!"},
        Refusal{{{"Edit19", "0"}}, "Value of Compaction Factor at Inlet is not correct!"},
        Refusal{{{"Edit19", "1.0001"}}, "Value of Compaction Factor at Inlet is not correct!"},
        Refusal{{{"Edit20", "0"}}, "Value of Solid Width Ratio at Start is not correct!"},
        Refusal{{{"Edit20", "1.0001"}}, "Value of Solid Width Ratio at Start is not correct!"},
        Refusal{{{"Edit29", ""}, {"Edit20", "2"}}, "Value of Solid Width Ratio at Start is not correct!"},
        Refusal{{{"Edit29", ""}}, "Save File Name is not correct!"},
        // 50 + 120 + 431 steps: one point more than the arrays hold.
        Refusal{{{"Edit4", "43.1"}},
                "The screw would need 602 grid points, but at most 601 fit (0.1 turn apart in the feed "
                "and metering zones, 0.05 turn in the compression zone). Reduce the turns of the feed, "
                "compression or metering zone."}));

TEST_F(RunCommandTest, BoundaryValuesPass) {
  RunTexts texts = InitialRunTexts();
  texts[TextIndex("Edit24")] = "0";   // HeatOfFusion may be 0
  texts[TextIndex("Edit19")] = "1";   // compaction at its upper bound
  texts[TextIndex("Edit13")] = "-0.2";  // B1 is never checked
  texts[TextIndex("Edit29")] = " ";   // one blank is a name
  const RunOutcome outcome = Run(texts);
  EXPECT_EQ(outcome.Result, RunResult::Completed) << outcome.Message;
  EXPECT_TRUE(fs::exists(dir_ / " "));
}

TEST_F(RunCommandTest, AZeroPowerLawIndexPassesValidationAndFailsInTheCalculation) {
  const RunOutcome outcome = RunWith("Edit17", "0");
  EXPECT_EQ(outcome.Result, RunResult::Failed);
  EXPECT_EQ(outcome.Message, "Floating point division by zero while computing ViscTempGroup");
}

TEST_F(RunCommandTest, UnitIndexChoosesTheFactors) {
  for (int32_t index : {0, 1, -1, 7}) {
    state.Inputs.MeteringTurns = 0;
    ASSERT_EQ(Run(InitialRunTexts(), index).Result, RunResult::Completed);
    if (index == 0) {
      EXPECT_EQ(state.Inputs.ViscosityUnit, ViscosityUnit::PaS);
      EXPECT_EQ(state.ViscousHeatFactor, 2.389e-07);
      EXPECT_EQ(state.PowerFactor, 1e-06);
    } else {
      EXPECT_EQ(state.Inputs.ViscosityUnit, ViscosityUnit::GfSPerCm2) << index;
      EXPECT_EQ(state.ViscousHeatFactor, 2.343e-05);
      EXPECT_EQ(state.PowerFactor, 9.8e-05);
    }
  }
}

TEST_F(RunCommandTest, RejectedRunKeepsThePreviousResults) {
  ASSERT_EQ(Run(InitialRunTexts()).Result, RunResult::Completed);
  const double power = state.Profile.MeltingPower;
  ASSERT_EQ(RunWith("Edit1", "-1").Result, RunResult::Rejected);
  EXPECT_EQ(state.Inputs.ScrewDiameter, -1);
  EXPECT_EQ(state.Profile.MeltingPower, power);
  EXPECT_EQ(state.Profile.RowCount, 197);
  EXPECT_EQ(state.PowerFactor, 9.8e-05);
}

TEST_F(RunCommandTest, FlightAsWideAsThePitchFailsWithADivisionByZero) {
  const RunOutcome outcome = RunWith("Edit9", "15.0");
  EXPECT_EQ(outcome.Result, RunResult::Failed);
  EXPECT_EQ(outcome.Message, "Floating point division by zero while computing ConveyingAngle");
  EXPECT_FALSE(fs::exists(dir_ / "result.txt"));
}

TEST_F(RunCommandTest, BarrelBelowTheMeltingPointFailsAndLeavesTheFileUntouched) {
  ASSERT_EQ(Run(InitialRunTexts()).Result, RunResult::Completed);
  const std::string before = ReadFile(dir_ / "result.txt");
  const RunOutcome outcome = RunWith("Edit12", "200");
  EXPECT_EQ(outcome.Result, RunResult::Failed);
  EXPECT_EQ(outcome.Message, "Floating point invalid operation while computing FilmThickness");
  EXPECT_EQ(state.Profile.RowCount, 197);
  EXPECT_EQ(ReadFile(dir_ / "result.txt"), before);
}

TEST_F(RunCommandTest, AGridThatDoesNotFitIsRefusedBeforeAnythingIsCalculated) {
  RunOutcome outcome = RunWith("Edit4", "64.1");
  EXPECT_EQ(outcome.Result, RunResult::Rejected);
  EXPECT_NE(outcome.Message.find("812 grid points"), std::string::npos) << outcome.Message;
  EXPECT_NE(outcome.Message.find("601"), std::string::npos);

  outcome = RunWith("Edit5", "10.2");
  EXPECT_EQ(outcome.Result, RunResult::Rejected);
  EXPECT_NE(outcome.Message.find("Turns of Delay in Melting"), std::string::npos) << outcome.Message;

  outcome = RunWith("Edit2", "1e300");
  EXPECT_EQ(outcome.Result, RunResult::Rejected);
  EXPECT_EQ(state.Profile.RowCount, 0);
  EXPECT_FALSE(fs::exists(dir_ / "result.txt"));
}

TEST_F(RunCommandTest, TheLargestGridThatFitsRuns) {
  RunTexts texts = InitialRunTexts();
  texts[TextIndex("Edit4")] = "43.0";  // 50 + 120 + 430 = 600, the last entry
  texts[TextIndex("Edit12")] = "400";  // hot enough to keep the walk going
  const RunOutcome outcome = Run(texts);
  EXPECT_NE(outcome.Result, RunResult::Rejected) << outcome.Message;
}

TEST_F(RunCommandTest, ALongDelayIsEchoedWithAllItsDigits) {
  RunTexts texts = InitialRunTexts();
  texts[TextIndex("Edit2")] = "1234.5";
  texts[TextIndex("Edit5")] = "1234.5";
  ASSERT_EQ(Run(texts).Result, RunResult::Completed);
  const std::string report = ReadFile(dir_ / "result.txt");
  EXPECT_NE(report.find("\r\nTurns of Feed Zone                      =  1234.5\r\n"), std::string::npos);
  EXPECT_NE(report.find("\r\nTurns of Delay in Metering              =  1234.5\r\n"), std::string::npos);
}

TEST_F(RunCommandTest, ASecondSmallerRunPrintsOnlyItsOwnRows) {
  RunTexts texts = InitialRunTexts();
  texts[TextIndex("Edit12")] = "400";
  texts[TextIndex("Edit11")] = "1200";
  ASSERT_EQ(Run(texts).Result, RunResult::Completed);
  const int firstRows = state.Profile.RowCount;
  texts[TextIndex("Edit4")] = "1.0";
  texts[TextIndex("Edit3")] = "1.0";
  ASSERT_EQ(Run(texts).Result, RunResult::Completed);
  const int secondRows = state.Profile.RowCount;
  EXPECT_LT(secondRows, firstRows);
  const std::string report = ReadFile(dir_ / "result.txt");
  size_t lines = 0;
  for (size_t pos = 0; (pos = report.find("\r\n", pos)) != std::string::npos; pos += 2) ++lines;
  EXPECT_EQ(lines, 40u + secondRows);
}

TEST_F(RunCommandTest, DecimalCommaReadsAndWritesWithTheComma) {
  RunTexts texts = InitialRunTexts();
  for (int k = 0; k < InputCount; ++k)
    for (char& c : texts[k])
      if (c == '.') c = ',';
  const RunOutcome outcome = Run(texts, 1, ',');
  ASSERT_EQ(outcome.Result, RunResult::Completed) << outcome.Message;
  const std::string report = ReadFile(dir_ / "result.txt");
  EXPECT_NE(report.find("=  15,0\r\n"), std::string::npos);
  EXPECT_EQ(Run(InitialRunTexts(), 1, ',').Message, "Input value is not correct!");
}

TEST_F(RunCommandTest, UnwritableResultFileShowsTheWritersOwnMessagesAndStillCompletes) {
  const RunOutcome outcome = RunWith("Edit29", (dir_ / "missing" / "result.txt").string());
  EXPECT_EQ(outcome.Result, RunResult::Completed);
  EXPECT_EQ(messages.Shown, (std::vector<std::string>{"File can not open!", "File can not open!",
                                                      "Can not write result to file"}));
}

TEST_F(RunCommandTest, AFailedWriteEndsTheRun) {
  const RunOutcome outcome = RunWith("Edit29", "/dev/full");
  EXPECT_EQ(outcome.Result, RunResult::Failed);
  EXPECT_FALSE(outcome.Message.empty());
}

TEST_F(RunCommandTest, TheDelayRefusalStatesTheCheckItMakes) {
  // With 10 feed turns, 10.1001 as a double lies just below 0.1001 turn beyond
  // the feed zone and still gives 0 feed points; 10.1002 is refused.
  EXPECT_EQ(RunWith("Edit5", "10.1001").Result, RunResult::Completed);
  const RunOutcome outcome = RunWith("Edit5", "10.1002");
  EXPECT_EQ(outcome.Result, RunResult::Rejected);
  EXPECT_EQ(outcome.Message,
            "Turns of Delay in Melting exceed Turns of Feed Zone so far that (feed turns - delay turns + 0.0001) "
            "/ 0.1 is -1 or less, so melting would start behind the feed zone. Make the turns of delay at most "
            "the turns of the feed zone.");
}

}  // namespace
