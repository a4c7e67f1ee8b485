#include "results/run_summary.h"

#include <gtest/gtest.h>

#include <functional>

#include "completed_run.h"
#include "model/axial_grid.h"
#include "model/data_file.h"
#include "report/format_number.h"
#include "results/input_names.h"
#include "results/number_text.h"

namespace {

// The report's figure after a label, up to the line end.
std::string ReportFigure(const std::string& report, const std::string& label) {
  const std::size_t start = report.find(label);
  if (start == std::string::npos) return "label missing: " + label;
  const std::size_t value = start + label.size();
  return report.substr(value, report.find("\r\n", value) - value);
}

// Inputs by name, as --set gives them.
CompletedRun RunSetting(const std::vector<std::pair<std::string, std::string>>& named) {
  std::vector<std::pair<int, std::string>> settings;
  for (const auto& [name, text] : named) settings.emplace_back(FindInputByName(name).value(), text);
  return RunWithSettings(settings);
}

// The report's table rows, without the header.
std::vector<std::string> ReportRows(const std::string& report) {
  std::vector<std::string> rows;
  std::size_t start = report.find(" FLIGHT ");
  start = report.find("\r\n", start) + 2;
  for (std::size_t end; (end = report.find("\r\n", start)) != start; start = end + 2)
    rows.push_back(report.substr(start, end - start));
  return rows;
}

// Every End figure belongs to the first point below 2 %, one past the
// report's last row, whose QS/QT is still 2 % or more.
TEST(RunSummary, EndOfMeltingIsTheFirstPointBelowTwoPercent) {
  const struct {
    const char* File;
    int EndPoint;  // -1: not pinned
    double EndTurns;
    double EndSolidFraction;
  } cases[] = {
      {"default.txt", 197, 18.7, 0.01754},
      {"hot_barrel.txt", -1, 0, 0.0196},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.File);
    // The example file's editable lines, as the window loads them.
    DataFileLineArray lines;
    ASSERT_TRUE(ReadDataFileLines(std::string(CHUNG_EXAMPLES_DIR "/") + c.File, lines));
    const DataLineValues values = ParseDataLines(lines, c.File);
    ASSERT_TRUE(values.Accepted) << values.Message;
    ASSERT_EQ(values.UnitIndex, InitialUnitIndex);
    std::vector<std::pair<int, std::string>> settings;
    for (int k = 0; k < InputCount; ++k)
      if (!InputFields[k].Fixed) settings.emplace_back(k, values.Values[k]);
    const CompletedRun run = RunWithSettings(settings);
    const ModelState& state = *run.State;
    const RunSummary summary = SummarizeRun(state);
    const std::vector<std::string> rows = ReportRows(run.Report);

    ASSERT_TRUE(summary.Melted);
    EXPECT_EQ(summary.EndPoint, state.Profile.RowCount);
    ASSERT_EQ(static_cast<int>(rows.size()), summary.EndPoint);
    if (c.EndPoint >= 0) EXPECT_EQ(summary.EndPoint, c.EndPoint);
    if (c.EndPoint >= 0) EXPECT_NEAR(summary.EndTurns, c.EndTurns, 1e-9);
    EXPECT_NEAR(summary.EndSolidFraction, c.EndSolidFraction, 5e-5);
    // The report's last row is the point before, still at 2 % or more.
    EXPECT_GE(std::stod(rows.back().substr(40, 6)), 0.02);
    EXPECT_LT(summary.EndSolidFraction, 0.02);
    EXPECT_EQ(summary.EndTurns, state.Grid.Flight[summary.EndPoint]);
    EXPECT_EQ(summary.EndSolidFraction,
              state.Profile.SolidFlow[summary.EndPoint] / state.Operating.SolidVolumeRate);
    EXPECT_EQ(summary.EndDistance, AxialDistanceAt(state, summary.EndPoint));
    EXPECT_NEAR(summary.EndLengthRatio,
                (state.Inputs.DelayTurns * state.Inputs.ScrewPitch + summary.EndDistance) / state.Inputs.ScrewDiameter,
                1e-12);
    EXPECT_EQ(SummaryVerdict(summary), "melted at turn " + FixedText(summary.EndTurns, 1));
  }
}

TEST(RunSummary, DefaultRunFiguresMatchTheReport) {
  const CompletedRun run = RunWith();
  const RunSummary summary = SummarizeRun(*run.State);

  // 13.7 turns past the start of melting, 15 cm pitch; 18.7 pitches from the hopper.
  EXPECT_NEAR(summary.EndDistance, 205.5, 1e-9);
  EXPECT_NEAR(summary.EndLengthRatio, 18.7, 1e-12);
  EXPECT_EQ(FormatNumber(summary.MeltingPower, NumberForm::FixedForm, 6, 1),
            ReportFigure(run.Report, "Motor Power for Melting [Solid Bed Part]  (kW) =  "));
  EXPECT_EQ(FormatNumber(summary.NetMeltingEnergy, NumberForm::FixedForm, 6, 1),
            ReportFigure(run.Report, "Net Melting Energy after melting starts   (kW) =  "));
  const std::string angleLine = ReportFigure(run.Report, "Solid Conveying Angle             (rad) =  ");
  const std::string degrees = FormatNumber(summary.ConveyingAngleDegrees, NumberForm::FixedForm, 6, 4);
  EXPECT_EQ(angleLine.substr(angleLine.find('[') + 1), degrees + "deg]");
  EXPECT_NEAR(summary.SpecificEnergy, 23.3791 / 300.0, 1e-6);
  EXPECT_TRUE(summary.Warnings.empty());
  EXPECT_EQ(SummaryVerdict(summary), "melted at turn 18.7");
}

// Inputs no screw has and results the model can not describe each get their
// warning; a figure that cannot be true (a negative fraction) is shown as 0.
TEST(RunSummary, ImpossibleInputsAndResultsAreWarnedOf) {
  const std::string firstStep = "melting ends within one step";
  const std::string negative = "solid fraction after the last step is negative";
  const struct {
    std::vector<std::pair<std::string, std::string>> Settings;
    std::vector<std::string> Warned;
    std::vector<std::string> NotWarned;
  } cases[] = {
      {{{"OutputRate", "1"}}, {firstStep, negative}, {}},
      {{{"OutputRate", "0.001"}}, {firstStep, negative}, {}},
      {{{"MeltConductivity", "1"}}, {negative}, {firstStep}},
      // Melting ends in the second step: no longer within one.
      {{{"OutputRate", "4"}}, {}, {firstStep}},
      {{{"MeltDensity", "1e308"}}, {firstStep, negative}, {}},
      {{{"StartWidthRatio", "4.9e-324"}}, {firstStep, negative}, {}},
      {{{"ScrewPitch", "1e308"}}, {"pitch (", "more than twice the diameter", firstStep, negative}, {}},
      {{{"ScrewPitch", "30.01"}}, {"more than twice the diameter"}, {}},
      {{{"ScrewPitch", "30"}, {"FlightWidth", "1.5"}}, {}, {"pitch ("}},
      {{{"ScrewPitch", "7.49"}, {"FlightWidth", "1.5"}}, {"less than half the diameter"}, {}},
      {{{"ScrewPitch", "7.5"}, {"FlightWidth", "1.5"}}, {}, {"pitch ("}},
      {{{"FeedDepth", "5.01"}}, {"feed zone channel (5.01 cm deep) is deeper than a third"}, {}},
      {{{"FeedDepth", "5"}}, {}, {"deeper than a third"}},
      {{{"FeedDepth", "5"}, {"MeteringDepth", "5.01"}},
       {"metering zone channel (5.01 cm deep) is deeper than a third",
        "metering zone channel (5.01 cm deep) is deeper than the feed"},
       {"feed zone channel (5.00 cm deep) is deeper than a third"}},
      {{{"FlightWidth", "7.51"}}, {"flight width (7.51 cm) is more than half the pitch"}, {}},
      {{{"FlightWidth", "7.5"}}, {}, {"flight width"}},
      {{{"MeteringDepth", "1.41"}}, {"is deeper than the feed zone channel (1.40 cm deep)"}, {}},
      {{{"MeteringDepth", "1.4"}}, {}, {"deeper than the feed"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Settings.front().first + "=" + c.Settings.front().second);
    const CompletedRun run = RunSetting(c.Settings);
    const RunSummary summary = SummarizeRun(*run.State);
    std::string all;
    for (const std::string& warning : summary.Warnings) all += warning + "\n";
    for (const std::string& words : c.Warned) EXPECT_NE(all.find(words), std::string::npos) << words << "\n" << all;
    for (const std::string& words : c.NotWarned) EXPECT_EQ(all.find(words), std::string::npos) << words << "\n" << all;
    EXPECT_GE(summary.EndSolidFraction, 0.0);
    EXPECT_NE(SummaryVerdict(summary), "no grid point");
  }
}

// Each result warning on both sides of its bound, from real runs (one-point
// and two-point grids, a barrel just above the melting point) and from a
// default run with one figure set by hand.
TEST(RunSummary, ResultWarningsAtTheirBounds) {
  const std::string negativePower = "motor power for melting is negative";
  const std::string solidLeft = "Solid is left at the end of the screw";
  const std::string angle = "solid conveying angle is";
  const std::string negativeFraction = "solid fraction after the last step is negative";
  const std::vector<std::pair<std::string, std::string>> onePoint = {
      {"FeedTurns", "5"}, {"DelayTurns", "5"}, {"CompressionTurns", "0.01"}, {"MeteringTurns", "0.01"}};
  std::vector<std::pair<std::string, std::string>> twoPoints = onePoint;
  twoPoints[0].second = "5.1";
  const struct {
    const char* Name;
    std::vector<std::pair<std::string, std::string>> Settings;
    std::function<void(ModelState&)> Change;
    bool Melted;
    std::vector<std::string> Warned;
    std::vector<std::string> NotWarned;
  } cases[] = {
      // Melting would start at the screw's end: no step, nothing melts, 0 kW.
      {"one-point grid", onePoint, nullptr, false, {"Solid is left at the end of the screw: 100 %"}, {negativePower}},
      {"two-point grid", twoPoints, nullptr, false, {"Solid is left at the end of the screw: 99 %"}, {negativePower}},
      {"barrel just above the melting point", {{"BarrelB0", "265.0001"}}, nullptr, false, {solidLeft}, {}},
      {"power 0", {}, [](ModelState& s) { s.Profile.MeltingPower = 0; }, true, {}, {negativePower}},
      {"power -0.4 kW", {}, [](ModelState& s) { s.Profile.MeltingPower = -0.4; }, true,
       {"motor power for melting is negative (-0.4000 kW)"}, {}},
      {"angle 0", {}, [](ModelState& s) { s.Operating.ConveyingAngle = 0; }, true, {angle + " 0.0\u00B0"}, {}},
      {"angle just above 0", {}, [](ModelState& s) { s.Operating.ConveyingAngle = 1e-12; }, true, {}, {angle}},
      {"angle 90", {}, [](ModelState& s) { s.Operating.ConveyingAngle = 1.5707963267948966; }, true,
       {angle + " 90.0\u00B0"}, {}},
      {"angle just below 90", {}, [](ModelState& s) { s.Operating.ConveyingAngle = 1.5707963; }, true, {}, {angle}},
      {"end fraction 0", {}, [](ModelState& s) { s.Profile.SolidFlow[s.Profile.RowCount] = 0; }, true, {},
       {negativeFraction}},
      {"end fraction just below 0", {}, [](ModelState& s) { s.Profile.SolidFlow[s.Profile.RowCount] = -1e-12; }, true,
       {negativeFraction}, {}},
      // The walk stopped in its last step: melted at the screw's last point.
      {"threshold crossed in the last step", {}, [](ModelState& s) { s.Profile.RowCount = LastGridPoint(s.Grid); },
       true, {}, {solidLeft}},
      {"walk to the end", {}, [](ModelState& s) { s.Profile.RowCount = LastGridPoint(s.Grid) + 1; }, false,
       {solidLeft}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    CompletedRun run = RunSetting(c.Settings);
    if (c.Change) c.Change(*run.State);
    const RunSummary summary = SummarizeRun(*run.State);
    EXPECT_EQ(summary.Melted, c.Melted);
    EXPECT_EQ(summary.EndPoint, c.Melted ? run.State->Profile.RowCount : run.State->Profile.RowCount - 1);
    std::string all;
    for (const std::string& warning : summary.Warnings) all += warning + "\n";
    for (const std::string& words : c.Warned) EXPECT_NE(all.find(words), std::string::npos) << words << "\n" << all;
    for (const std::string& words : c.NotWarned) EXPECT_EQ(all.find(words), std::string::npos) << words << "\n" << all;
  }
}

// Melting within the first step ends at grid point 1, not at "no grid point".
TEST(RunSummary, FirstStepMeltEndsAtTheSecondGridPoint) {
  const CompletedRun run = RunSetting({{"OutputRate", "0.01"}});
  const RunSummary summary = SummarizeRun(*run.State);
  EXPECT_TRUE(summary.Melted);
  EXPECT_EQ(run.State->Profile.RowCount, 1);
  EXPECT_EQ(summary.EndPoint, 1);
  EXPECT_EQ(summary.EndTurns, run.State->Grid.Flight[1]);
  EXPECT_EQ(summary.EndSolidFraction, 0.0);
  EXPECT_EQ(SummaryVerdict(summary), "melted at turn 5.1");
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

// Figures for reading: fixed below 1e15, the summary's exponent form from
// there on, so that no huge input prints hundreds of digits.
TEST(NumberText, HugeFiguresTakeTheExponentForm) {
  EXPECT_EQ(FixedText(999999999999999.0, 1), "999999999999999.0");
  EXPECT_EQ(FixedText(1e15, 1), "1e+15");
  EXPECT_EQ(FixedText(-3.25e300, 2), "-3.25e+300");
  EXPECT_EQ(FixedText(2.5, 2), "2.50");
}
