#include "results/run_summary.h"

#include <gtest/gtest.h>

#include "completed_run.h"
#include "report/format_number.h"

namespace {

// The report's figure after a label, up to the line end.
std::string ReportFigure(const std::string& report, const std::string& label) {
  const std::size_t start = report.find(label);
  if (start == std::string::npos) return "label missing: " + label;
  const std::size_t value = start + label.size();
  return report.substr(value, report.find("\r\n", value) - value);
}

TEST(RunSummary, DefaultRunMeltsWhereTheReportTableEnds) {
  const CompletedRun run = RunWith();
  const RunSummary summary = SummarizeRun(*run.State);

  EXPECT_TRUE(summary.Melted);
  EXPECT_EQ(summary.EndPoint, 196);
  EXPECT_EQ(summary.EndPoint, run.State->Profile.RowCount - 1);
  // The table's last row is the point at flight 18.60.
  const std::size_t lastRow = run.Report.rfind("\r\n\r\nMotor Power");
  const std::size_t rowStart = run.Report.rfind("\r\n", lastRow - 1) + 2;
  EXPECT_EQ(run.Report.substr(rowStart + 1, 5), "18.60");
  EXPECT_DOUBLE_EQ(summary.EndTurns, run.State->Grid.Flight[196]);
  // 13.6 turns past the start of melting, 15 cm pitch; 18.6 pitches from the hopper.
  EXPECT_NEAR(summary.EndDistance, 204.0, 1e-9);
  EXPECT_NEAR(summary.EndLengthRatio, 18.6, 1e-12);
  EXPECT_NEAR(summary.EndSolidFraction, 0.01754, 5e-6);

  EXPECT_EQ(FormatNumber(summary.MeltingPower, NumberForm::FixedForm, 6, 1),
            ReportFigure(run.Report, "Motor Power for Melting [Solid Bed Part]  (kW) =  "));
  EXPECT_EQ(FormatNumber(summary.NetMeltingEnergy, NumberForm::FixedForm, 6, 1),
            ReportFigure(run.Report, "Net Melting Energy after melting starts   (kW) =  "));
  const std::string angleLine = ReportFigure(run.Report, "Solid Conveying Angle             (rad) =  ");
  const std::string degrees = FormatNumber(summary.ConveyingAngleDegrees, NumberForm::FixedForm, 6, 4);
  EXPECT_EQ(angleLine.substr(angleLine.find('[') + 1), degrees + "deg]");
  EXPECT_NEAR(summary.SpecificEnergy, 23.3791 / 300.0, 1e-6);
  EXPECT_TRUE(summary.Warnings.empty());
  EXPECT_EQ(SummaryVerdict(summary), "melted at turn 18.6");
}

TEST(RunSummary, OverfedScrewWarnsOfTheAngleAndTheSolidLeft) {
  const CompletedRun run = RunWith(OutputRateIndex, "3000");
  const RunSummary summary = SummarizeRun(*run.State);

  EXPECT_FALSE(summary.Melted);
  EXPECT_EQ(summary.EndPoint, 257);
  EXPECT_GT(summary.ConveyingAngleDegrees, 90.0);
  EXPECT_NEAR(summary.EndSolidFraction, 0.76, 0.005);
  EXPECT_EQ(SummaryVerdict(summary), "solid left at the screw end: 76 %");

  const auto mentions = [&](const std::string& words) {
    for (const std::string& warning : summary.Warnings)
      if (warning.find(words) != std::string::npos) return true;
    return false;
  };
  EXPECT_TRUE(mentions("cannot convey this output at this speed"));
  EXPECT_TRUE(mentions("Solid is left at the end of the screw: 76 %"));
  EXPECT_TRUE(mentions("X/W rises above 1"));
  EXPECT_TRUE(mentions("motor power for melting is negative"));
}

}  // namespace
