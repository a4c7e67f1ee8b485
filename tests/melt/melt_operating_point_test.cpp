// How the operating point search ends when the die or the melting model do
// not let it find a crossing, and what it leaves alone.
#include "melt/melt_operating_point.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "melt_test_channel.h"

namespace {

constexpr int Mode = InputCount + DieModeInput;
constexpr int Head = InputCount + DieHeadPressureInput;
constexpr int Start = InputCount + MeltStartPressureInput;

MeltOperatingPoints Search(const DefaultStageRun& run, const OperatingPointSettings& settings = {}) {
  EXPECT_EQ(run.Outcomes.Melt->Result, RunResult::Completed);
  return FindOperatingPoints(run.Texts, InitialUnitIndex, '.', run.Melt, run.Stage, settings);
}

TEST(MeltOperatingPoint, EndsWithoutACrossing) {
  struct Case {
    const char* Name;
    std::vector<std::pair<int, std::string>> Settings;
    OperatingPointStatus Status;
  };
  const Case cases[] = {
      // The screw beats the die until the melting model fails at a large output.
      {"start pressure above any need", {{Start, "500"}}, OperatingPointStatus::TrialFailed},
      // No output is small enough for the screw to build this head.
      {"head beyond the screw", {{Mode, "HeadPressure"}, {Head, "100000"}}, OperatingPointStatus::BelowDieEverywhere},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    const DefaultStageRun run = RunDefaultStage(c.Settings);
    const MeltOperatingPoints points = Search(run, {false, nullptr, {}});
    for (const MeltOperatingPoint* p : {&points.Adiabatic, &points.Barrel}) {
      EXPECT_EQ(p->Status, c.Status) << OperatingPointStatusName(p->Status);
      EXPECT_LE(p->Evaluations, 45);
      if (c.Status == OperatingPointStatus::TrialFailed) {
        EXPECT_EQ(p->TrialOutcome.Result, RunResult::Failed);
        EXPECT_NE(p->TrialOutcome.Message.find("Floating point"), std::string::npos);
        EXPECT_GT(p->Output, run.Stage.Common.DragCapacity);
      } else {
        EXPECT_EQ(p->Output, run.Stage.Common.DragCapacity / (1 << 30));
        EXPECT_LT(p->PressureMargin, 0);
      }
    }
  }
}

TEST(MeltOperatingPoint, WritesNoReportAndReportsProgress) {
  DefaultStageRun run = RunDefaultStage({{Mode, "Capillary"}});
  const std::filesystem::path report =
      std::filesystem::temp_directory_path() / ("chung-melt-" + std::to_string(::getpid()) + ".txt");
  std::filesystem::remove(report);
  run.Texts[InputCount] = report.string();
  std::atomic<int> calls{0};
  OperatingPointSettings settings;
  settings.Progress = [&](MeltBound, int32_t) { ++calls; };
  const MeltOperatingPoints points = Search(run, settings);
  EXPECT_FALSE(std::filesystem::exists(report));
  EXPECT_EQ(calls, points.Adiabatic.Evaluations + points.Barrel.Evaluations + points.BestEstimate.Evaluations);
  EXPECT_EQ(points.Adiabatic.Status, OperatingPointStatus::Found);
}

TEST(MeltOperatingPoint, StopsWhenCancelled) {
  const DefaultStageRun run = RunDefaultStage({});
  const std::atomic<bool> cancel{true};
  const MeltOperatingPoints points = Search(run, {true, &cancel, {}});
  EXPECT_EQ(points.Adiabatic.Status, OperatingPointStatus::Cancelled);
  EXPECT_EQ(points.Barrel.Status, OperatingPointStatus::Cancelled);
  EXPECT_EQ(points.Barrel.Evaluations, 0);
}

}  // namespace
