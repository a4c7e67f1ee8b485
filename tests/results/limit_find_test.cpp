// The limit search against what a dense study of the same interval shows,
// and the statuses where the scan finds no single change.

#include "results/limit_find.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "melt/melt_stage.h"
#include "melt/melt_warnings.h"
#include "results/input_names.h"
#include "results/number_text.h"
#include "results/study_rows.h"

namespace {

constexpr int ScrewSpeedIndex = 9;
constexpr int OutputRateIndex = 10;
constexpr int DelayTurnsIndex = 4;

StudySettings Settings(unsigned workers = 2, int input = -1, const std::string& text = "") {
  StudySettings settings;
  if (input >= 0) settings.Base.Texts[input] = text;
  settings.Workers = workers;
  return settings;
}

LimitResult Find(const LimitSearch& search, const StudySettings& settings) {
  const std::atomic<bool> stop{false};
  return FindLimit(search, settings, stop);
}

// Whether the condition holds at each of `values`, each run as a study case.
std::vector<bool> Holds(const LimitSearch& search, const StudySettings& base, const std::vector<double>& values) {
  StudyPlan plan;
  StudyAxis axis;
  axis.Input = search.Input;
  for (double value : values) {
    axis.Values.push_back(value);
    axis.Texts.push_back(RoundTripText(value));
  }
  axis.Count = values.size();
  plan.Axes.push_back(axis);
  std::vector<char> holds(values.size());
  StudySettings settings = base;
  settings.CaseDone = [&](uint64_t caseNumber, const RunOutcome& outcome, const ModelState& state,
                          const RunSummary& summary, const std::string&) {
    holds[caseNumber - 1] = LimitConditionHolds(search, outcome, state, summary);
  };
  const std::atomic<bool> stop{false};
  RunStudy(plan, settings, [](const std::string&) { return true; }, stop);
  return {holds.begin(), holds.end()};
}

struct DenseCase {
  const char* Name;
  LimitSearch Search;
  int SetInput;
  const char* SetText;
};

void PrintTo(const DenseCase& c, std::ostream* os) { *os << c.Name; }

class LimitAgainstDenseScan : public ::testing::TestWithParam<DenseCase> {};

// A scan 16 times finer than the search's brackets the same change, and the
// value found sits on the holding side of it within the tolerance.
TEST_P(LimitAgainstDenseScan, FindsTheChangeTheDenseScanShows) {
  const LimitSearch& search = GetParam().Search;
  const StudySettings settings = Settings(2, GetParam().SetInput, GetParam().SetText);
  const LimitResult result = Find(search, settings);
  ASSERT_EQ(result.Status, LimitStatus::Found) << LimitResultLine(search, result, 1);
  ASSERT_TRUE(result.Value);
  EXPECT_LE(result.Runs, 100u);

  const int points = 16 * (LimitScanPoints - 1) + 1;
  std::vector<double> dense(points);
  for (int k = 0; k < points; ++k) dense[k] = search.Low + (search.High - search.Low) * k / (points - 1);
  const std::vector<bool> holds = Holds(search, settings, dense);
  int changes = 0, boundary = -1;  // the dense point on the holding side of the change
  for (int k = 1; k < points; ++k) {
    if (holds[k] == holds[k - 1]) continue;
    ++changes;
    boundary = holds[k] ? k : k - 1;
  }
  ASSERT_EQ(changes, 1);
  const double step = dense[1] - dense[0];
  const double value = *result.Value;
  EXPECT_LE(std::fabs(value - dense[boundary]), step) << value;

  // The condition holds at the value and not a little beyond it.
  const double beyond = value + (search.Smallest ? -1 : 1) * 2e-6 * std::fabs(value);
  EXPECT_EQ(Holds(search, settings, {value, beyond}), (std::vector<bool>{true, false}));
  EXPECT_EQ(result.ShownValue, value);
  EXPECT_EQ(result.ShownText, RoundTripText(value));
  EXPECT_TRUE(result.ShownColumns.starts_with("Completed,")) << result.ShownColumns;

  // The same value whatever the number of workers.
  EXPECT_EQ(Find(search, Settings(1, GetParam().SetInput, GetParam().SetText)).Value, result.Value);
}

INSTANTIATE_TEST_SUITE_P(
    DefaultScrew, LimitAgainstDenseScan,
    ::testing::Values(
        // At 38 rpm the bed melts up to about 482 kg/hr, with X/W above 1 from
        // about 416 kg/hr on.
        DenseCase{"HighestMeltedOutput", {OutputRateIndex, 100, 1000, LimitCondition::Melted}, ScrewSpeedIndex, "38"},
        DenseCase{"HighestCleanOutput", {OutputRateIndex, 100, 1000, LimitCondition::Clean}, ScrewSpeedIndex, "38"},
        // Without a die the tip pressure must stay at least 0: up to about 300 kg/hr.
        DenseCase{"HighestOutputReachingTheDie", {OutputRateIndex, 100, 1000, LimitCondition::DieReached}, -1, ""},
        DenseCase{"SlowestMeltingSpeed",
                  {ScrewSpeedIndex, 5, 120, LimitCondition::Melted, true},
                  OutputRateIndex,
                  "400"}),
    [](const ::testing::TestParamInfo<DenseCase>& info) { return std::string(info.param.Name); });

// The stage's die margin computed directly on one melting run: the smallest
// capillary that the default screw still pushes through lies where a dense
// scan of the margins sees it cross 0. The adiabatic tip pressure is below 0
// there, so no capillary is reached by that bound (nor by both).
struct CapillaryCase {
  LimitBound Bound;
  LimitStatus Status;
};

void PrintTo(const CapillaryCase& c, std::ostream* os) { *os << LimitBoundName(c.Bound); }

class NoMessages : public UserMessages {
 public:
  void ShowMessage(const std::string&) override {}
};

class SmallestCapillary : public ::testing::TestWithParam<CapillaryCase> {};

TEST_P(SmallestCapillary, MatchesTheMarginsOfTheMeltingRun) {
  LimitSearch search{InputCount + DieDiameterInput, 0.2, 2, LimitCondition::DieReached, true};
  search.Bound = GetParam().Bound;
  search.DieTexts[DieModeInput] = "Capillary";
  search.DieTexts[DieLengthInput] = "2";
  const LimitResult result = Find(search, Settings());
  ASSERT_EQ(result.Status, GetParam().Status) << LimitResultLine(search, result, 1);

  const auto state = std::make_unique<ModelState>();
  NoMessages messages;
  ASSERT_EQ(RunCommand(*state, InitialRunTexts(), 1, messages, '.', ReportWriting::Skip).Result,
            RunResult::Completed);
  auto reached = [&](double diameter) {
    MeltInputs die;
    die.DieMode = DieMode::Capillary;
    die.DieLength = 2;
    die.DieDiameter = diameter;
    bool holds = true;
    for (MeltBound bound : {MeltBound::Adiabatic, MeltBound::Barrel}) {
      if ((bound == MeltBound::Adiabatic) == (search.Bound == LimitBound::Barrel)) continue;
      double margin = 0;
      holds = holds && MeltPressureMargin(*state, die, bound, margin).Result == RunResult::Completed &&
              MarginReachesDie(margin);
    }
    return holds;
  };
  const int points = 2001;
  auto dense = [&](int k) { return 0.2 + 1.8 * k / (points - 1); };
  int first = -1;
  for (int k = 0; k < points && first < 0; ++k) {
    if (reached(dense(k))) first = k;
  }
  if (GetParam().Status == LimitStatus::HoldsNowhere) {
    EXPECT_EQ(first, -1) << dense(first);
    EXPECT_FALSE(result.Value);
    return;
  }
  ASSERT_GT(first, 0);
  ASSERT_TRUE(result.Value);
  const double value = *result.Value;
  EXPECT_GT(value, dense(first - 1));
  EXPECT_LE(value, dense(first));
  EXPECT_TRUE(reached(value));
  EXPECT_FALSE(reached(value * (1 - 2e-6)));
}

INSTANTIATE_TEST_SUITE_P(DefaultScrew, SmallestCapillary,
                         ::testing::Values(CapillaryCase{LimitBound::Both, LimitStatus::HoldsNowhere},
                                           CapillaryCase{LimitBound::Adiabatic, LimitStatus::HoldsNowhere},
                                           CapillaryCase{LimitBound::Barrel, LimitStatus::Found}),
                         [](const ::testing::TestParamInfo<CapillaryCase>& info) {
                           return std::string(LimitBoundName(info.param.Bound));
                         });

TEST(LimitSearch, StatusesWithoutASingleChange) {
  struct Case {
    LimitSearch Search;
    LimitStatus Status;
    std::optional<double> Value;
    double Shown;
    std::size_t Intervals;
  };
  const std::vector<Case> cases = {
      {{OutputRateIndex, 1000, 2000, LimitCondition::Melted}, LimitStatus::HoldsNowhere, std::nullopt, 2000, 0},
      {{OutputRateIndex, 1000, 2000, LimitCondition::Melted, true}, LimitStatus::HoldsNowhere, std::nullopt, 1000, 0},
      {{OutputRateIndex, 50, 200, LimitCondition::Melted}, LimitStatus::HoldsEverywhere, 200, 200, 1},
      {{OutputRateIndex, 50, 200, LimitCondition::Melted, true}, LimitStatus::HoldsEverywhere, 50, 50, 1},
  };
  for (const Case& c : cases) {
    const LimitResult result = Find(c.Search, Settings());
    const std::string line = LimitResultLine(c.Search, result, 1);
    EXPECT_EQ(result.Status, c.Status) << line;
    EXPECT_EQ(result.Value, c.Value) << line;
    EXPECT_EQ(result.ShownValue, c.Shown) << line;
    EXPECT_EQ(result.Runs, static_cast<uint64_t>(LimitScanPoints)) << line;
    EXPECT_EQ(result.Intervals.size(), c.Intervals) << line;
  }
  EXPECT_EQ(LimitResultLine(cases[0].Search, Find(cases[0].Search, Settings()), 1),
            "melted holds nowhere for OutputRate from 1000 to 2000 kg/hr (64 runs); the run shown is at 2000 kg/hr");
}

// Without any delay the default screw warns; from a little delay on it is
// clean up to about 8.65 turns: two changes, still a value.
TEST(LimitSearch, NonMonotoneConditionIsReportedWithItsIntervals) {
  const LimitSearch search{DelayTurnsIndex, 0, 10, LimitCondition::Clean};
  const LimitResult result = Find(search, Settings());
  ASSERT_EQ(result.Status, LimitStatus::SeveralChanges);
  ASSERT_TRUE(result.Value);
  ASSERT_EQ(result.Intervals.size(), 1u);
  EXPECT_GT(result.Intervals[0].From, 0);
  EXPECT_LE(result.Intervals[0].To, *result.Value);
  EXPECT_GT(*result.Value, 8);
  EXPECT_NE(LimitResultLine(search, result, 1).find("; it holds in 1 interval: " + LimitIntervalsText(result.Intervals)),
            std::string::npos);
}

TEST(LimitSearch, ToleranceInTheInputsUnitEndsTheBisectionSooner) {
  LimitSearch search{OutputRateIndex, 100, 1000, LimitCondition::Melted};
  const LimitResult fine = Find(search, Settings());
  search.Tolerance = 1;
  const LimitResult coarse = Find(search, Settings());
  ASSERT_TRUE(fine.Value && coarse.Value);
  EXPECT_LT(coarse.Runs, fine.Runs);
  EXPECT_LE(*coarse.Value, *fine.Value);
  EXPECT_GT(*coarse.Value, *fine.Value - 1);
}

// The scan over 100 to 1360 kg/hr steps 20 kg/hr: a tolerance of exactly
// one step needs no bisection, a hair less one more, and so on per halving.
TEST(LimitSearch, BisectionStopsOnceTheIntervalIsAsNarrowAsTheTolerance) {
  const struct {
    double Tolerance;
    uint64_t Runs;
  } cases[] = {{20, 64}, {std::nextafter(20.0, 0.0), 65}, {10, 65}, {std::nextafter(10.0, 0.0), 66}};
  for (const auto& c : cases) {
    LimitSearch search{OutputRateIndex, 100, 1360, LimitCondition::Melted};
    search.Tolerance = c.Tolerance;
    const LimitResult result = Find(search, Settings());
    ASSERT_EQ(result.Status, LimitStatus::Found) << LimitResultLine(search, result, 1);
    EXPECT_EQ(result.Runs, c.Runs) << RoundTripText(c.Tolerance);
  }
}

TEST(LimitSearch, StoppedSearchSaysSo) {
  const std::atomic<bool> stop{true};
  EXPECT_TRUE(FindLimit({OutputRateIndex, 100, 1000, LimitCondition::Melted}, Settings(), stop).Stopped);
}

}  // namespace
