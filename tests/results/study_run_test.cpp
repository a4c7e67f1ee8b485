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
#include "results/study_shard.h"

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
  settings.Workers = workers;
  settings.Shard = shard;
  std::atomic<bool> stop{false};
  StudyText study{StudyHeader(plan, settings.Base.UnitIndex), {}};
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
      files.emplace_back(ShardLineText({{index, count}, "0123456789abcdef", 18}) + Study(plan, 2, {index, count}).Text);
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

// The header is the first line written, then each row: a write that fails
// at any of them ends the merge, and the error is the output's.
TEST(StudyMerge, AFailedWriteEndsTheMergeAndSaysSo) {
  const std::string file = ShardLineText({{1, 1}, "0123456789abcdef", 2}) +
                           "case,ScrewSpeed (rpm),outcome\n1,30,Completed\n2,40,Completed\n";
  for (int failing = 1; failing <= 3; ++failing) {
    std::istringstream stream(file);
    int calls = 0;
    const StudyMergeResult result =
        MergeStudyFiles({{"a", &stream}}, [&](const std::string&) { return ++calls != failing; });
    EXPECT_EQ(result.Error, "the merged file could not be written") << failing;
    EXPECT_TRUE(result.WriteFailed) << failing;
    EXPECT_EQ(calls, failing);
    EXPECT_EQ(result.Cases, static_cast<uint64_t>(std::max(0, failing - 2)));
  }
}

TEST(StudyMerge, RefusesFilesThatDoNotFit) {
  const std::string header = "case,ScrewSpeed (rpm),outcome\n";
  const std::string first = ShardLineText({{1, 2}, "0123456789abcdef", 4}) + header;
  const std::string second = ShardLineText({{2, 2}, "0123456789abcdef", 4}) + header;
  struct MergeCase {
    std::vector<std::string> Files;
    std::string Error;
    uint64_t Missing;
    std::size_t Lines;  // written before the refusal: none when a file's start is refused
  };
  const std::vector<MergeCase> cases = {
      {{second + "1,30,Completed\n", first + "4,40,Completed\n"}, "", 2, 3},
      {{second + "1,30,Completed\n", second + "1,30,Completed\n"}, "b line 3: case 1 is also in a line 3", 0, 2},
      {{second + "1,30,Completed\n", ShardLineText({{1, 2}, "0123456789abcdef", 4}) + "case,OutputRate (kg/hr),outcome\n"},
       "b line 2: other columns than a", 0, 0},
      {{second + "3,30,Completed\n1,40,Completed\n"}, "a line 4: case 1 is out of case order", 0, 2},
      {{second + "1,30,Completed\n3,40,Compl"}, "a line 4: the line has no line end; the file was cut short", 0, 2},
      {{second + "x,30,Completed\n"},
       "a line 3: the row does not start with a case number (1, 2, ... without leading zeros)", 0, 1},
      {{"point,flight (turns)\n0,5\n"},
       "a line 1: not a shard's study file: it does not start with the line that --shard K/N writes", 0, 0},
      {{""}, "a line 1: the file is empty, not a shard's study file", 0, 0},
  };
  for (const MergeCase& c : cases) {
    std::vector<std::istringstream> files;
    for (const std::string& text : c.Files) files.emplace_back(text);
    std::vector<StudyFileInput> inputs;
    for (std::size_t f = 0; f < files.size(); ++f) inputs.push_back({f == 0 ? "a" : "b", &files[f]});
    std::size_t lines = 0;
    const StudyMergeResult result = MergeStudyFiles(inputs, [&](const std::string&) { return ++lines > 0; });
    EXPECT_EQ(result.Error, c.Error);
    EXPECT_EQ(lines, c.Lines) << c.Error;
    if (c.Error.empty()) {
      EXPECT_EQ(result.Missing, c.Missing);
    }
  }
}

}  // namespace
