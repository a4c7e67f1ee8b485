// Studies on several workers: rows in case order whatever the workers, a
// stopped study leaves a complete prefix, and shards merge into the whole.

#include "results/study_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "results/study_merge.h"
#include "results/study_rows.h"

namespace {

// 18 cases: completed ones, rejected ones (screw speed 0) that end at once,
// and failed ones (barrel below the melting point), so that workers finish
// out of order.
StudyPlan MixedPlan() {
  StudyPlan plan;
  std::string error;
  for (const char* argument : {"ScrewSpeed=0,38,60", "BarrelB0=290,200", "OutputRate=200:400:100"}) {
    plan.Axes.push_back(*ParseStudyAxis(argument, '.', error));
  }
  return plan;
}

struct StudyText {
  std::string Text;
  StudyCounts Counts;
};

StudyText Study(const StudyPlan& plan, unsigned workers, StudyShard shard = {},
                uint64_t stopAfter = 0) {
  StudySettings settings;
  settings.BaseTexts = InitialRunTexts();
  settings.Workers = workers;
  settings.Shard = shard;
  std::atomic<bool> stop{false};
  StudyText study{StudyHeader(plan, settings.UnitIndex), {}};
  uint64_t rows = 0;
  study.Counts = RunStudy(plan, settings, [&](const std::string& row) {
    study.Text += row;
    if (++rows == stopAfter) stop = true;
    return true;
  }, stop);
  return study;
}

TEST(Study, RowsAreInCaseOrderWhateverTheWorkers) {
  const StudyPlan plan = MixedPlan();
  const StudyText one = Study(plan, 1);
  EXPECT_EQ(one.Counts.Planned, 18u);
  EXPECT_EQ(one.Counts.Written, 18u);
  EXPECT_EQ(one.Counts.Rejected, 6u);
  EXPECT_EQ(one.Counts.Failed, 6u);
  EXPECT_EQ(one.Counts.Completed, 6u);
  EXPECT_FALSE(one.Counts.Stopped);
  for (unsigned workers : {2u, 3u, 8u}) EXPECT_EQ(Study(plan, workers).Text, one.Text) << workers;

  std::istringstream lines(one.Text);
  std::string line;
  std::getline(lines, line);
  for (int c = 1; std::getline(lines, line); ++c) EXPECT_TRUE(line.starts_with(std::to_string(c) + ",")) << line;
}

TEST(Study, StoppedStudyHoldsACompletePrefix) {
  const StudyPlan plan = MixedPlan();
  const std::string whole = Study(plan, 1).Text;
  for (unsigned workers : {1u, 2u}) {
    const StudyText stopped = Study(plan, workers, {}, 5);
    EXPECT_TRUE(stopped.Counts.Stopped) << workers;
    EXPECT_GE(stopped.Counts.Written, 5u);
    EXPECT_LT(stopped.Counts.Written, 18u);
    EXPECT_TRUE(whole.starts_with(stopped.Text)) << workers;
    EXPECT_EQ(static_cast<uint64_t>(std::count(stopped.Text.begin(), stopped.Text.end(), '\n')),
              stopped.Counts.Written + 1);
  }
}

TEST(StudyMerge, ShardsJoinIntoTheWholeStudy) {
  const StudyPlan plan = MixedPlan();
  const std::string whole = Study(plan, 2).Text;
  for (uint64_t count : {1u, 3u, 4u, 25u}) {
    std::vector<std::istringstream> files;
    for (uint64_t index = count; index >= 1; --index) {
      files.emplace_back(Study(plan, 2, {index, count}).Text);
    }
    std::vector<StudyFileInput> inputs;
    for (std::istringstream& file : files) inputs.push_back({"shard", &file});
    std::string merged;
    const StudyMergeResult result = MergeStudyFiles(inputs, [&](const std::string& line) {
      merged += line;
      return true;
    });
    EXPECT_EQ(result.Error, "") << count;
    EXPECT_EQ(result.Missing, 0u) << count;
    EXPECT_EQ(merged, whole) << count;
  }
}

TEST(StudyMerge, RefusesFilesThatDoNotFit) {
  const std::string header = "case,ScrewSpeed (rpm),outcome\n";
  struct MergeCase {
    std::vector<std::string> Files;
    std::string Error;
    uint64_t Missing;
  };
  const std::vector<MergeCase> cases = {
      {{header + "1,30,Completed\n", header + "3,40,Completed\n"}, "", 1},
      {{header + "1,30,Completed\n", header + "1,30,Completed\n"}, "case 1 is in both a and b", 0},
      {{header + "1,30,Completed\n", "case,OutputRate (kg/hr),outcome\n"}, "b has other columns than a", 0},
      {{header + "3,30,Completed\n2,40,Completed\n"}, "a line 3 is out of case order", 0},
      {{header + "1,30,Completed\n2,40,Compl"}, "a line 3 is not a complete study row", 0},
      {{header + "x,30,Completed\n"}, "a line 2 is not a complete study row", 0},
      {{"point,flight (turns)\n0,5\n"}, "a is not a study file", 0},
      {{""}, "a is not a study file", 0},
  };
  for (const MergeCase& c : cases) {
    std::vector<std::istringstream> files;
    for (const std::string& text : c.Files) files.emplace_back(text);
    std::vector<StudyFileInput> inputs;
    for (std::size_t f = 0; f < files.size(); ++f) inputs.push_back({f == 0 ? "a" : "b", &files[f]});
    const StudyMergeResult result = MergeStudyFiles(inputs, [](const std::string&) { return true; });
    EXPECT_EQ(result.Error, c.Error);
    if (c.Error.empty()) {
      EXPECT_EQ(result.Missing, c.Missing);
    }
  }
}

}  // namespace
