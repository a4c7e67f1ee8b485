// The shard line: what makes shards of one study recognisable and those of
// another refused.

#include "results/study_shard.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

StudyPlan Plan(const std::vector<std::string>& arguments) {
  StudyPlan plan;
  std::string error;
  for (const std::string& argument : arguments) plan.Axes.push_back(*ParseStudyAxis(argument, '.', error));
  return plan;
}

// Each change of what decides the rows changes the fingerprint; the shard
// and the number of workers do not.
TEST(StudyFingerprint, ChangesWithEverythingThatDecidesTheRows) {
  const StudyPlan plan = Plan({"ScrewSpeed=30,40", "OutputRate=200:500:100"});
  StudySettings settings;
  LimitSearch search;
  search.Input = 10;
  search.Low = 100;
  search.High = 900;
  const std::string base = StudyFingerprint(plan, settings);
  const std::string find = StudyFingerprint(plan, settings, &search);
  EXPECT_NE(find, base);

  StudySettings elsewhere = settings;
  elsewhere.Workers = 7;
  elsewhere.Shard = {2, 3};
  EXPECT_EQ(StudyFingerprint(plan, elsewhere), base);

  const std::vector<std::pair<const char*, std::function<std::string()>>> changes = {
      {"a list value", [&] { return StudyFingerprint(Plan({"ScrewSpeed=30,41", "OutputRate=200:500:100"}), settings); }},
      {"a range's end", [&] { return StudyFingerprint(Plan({"ScrewSpeed=30,40", "OutputRate=200:600:100"}), settings); }},
      {"the axes' order", [&] { return StudyFingerprint(Plan({"OutputRate=200:500:100", "ScrewSpeed=30,40"}), settings); }},
      {"a base text", [&] {
         StudySettings changed = settings;
         changed.Base.Texts[0] = "16";
         return StudyFingerprint(plan, changed);
       }},
      {"the unit", [&] {
         StudySettings changed = settings;
         changed.Base.UnitIndex = 1 - settings.Base.UnitIndex;
         return StudyFingerprint(plan, changed);
       }},
      {"the melt stage", [&] {
         StudySettings changed = settings;
         changed.Base.MeltStage = true;
         return StudyFingerprint(plan, changed);
       }},
      {"the search's condition", [&] {
         LimitSearch changed = search;
         changed.Condition = LimitCondition::Clean;
         return StudyFingerprint(plan, settings, &changed);
       }},
      {"the search's tolerance", [&] {
         LimitSearch changed = search;
         changed.Tolerance = 0.5;
         return StudyFingerprint(plan, settings, &changed);
       }},
  };
  for (const auto& [what, fingerprint] : changes) {
    const std::string changed = fingerprint();
    EXPECT_NE(changed, base) << what;
    EXPECT_NE(changed, find) << what;
  }

  // Shards of die-reached searches with other dies or bounds are other studies.
  LimitSearch die = search;
  die.Condition = LimitCondition::DieReached;
  LimitSearch otherDie = die;
  otherDie.DieTexts[DieDiameterInput] = "0.6";
  LimitSearch otherBound = die;
  otherBound.Bound = LimitBound::Barrel;
  const std::string dieFind = StudyFingerprint(plan, settings, &die);
  EXPECT_NE(StudyFingerprint(plan, settings, &otherDie), dieFind);
  EXPECT_NE(StudyFingerprint(plan, settings, &otherBound), dieFind);
}

TEST(ShardLine, ReadsBackOnlyWhatItWrites) {
  const StudyShardLine line{{3, 4}, "0123456789abcdef", 1234};
  const std::string text = ShardLineText(line);
  ASSERT_EQ(text, "# chung-batch shard 3/4 of study 0123456789abcdef, 1234 cases\n");
  const std::optional<StudyShardLine> read = ParseShardLine(text.substr(0, text.size() - 1));
  ASSERT_TRUE(read);
  EXPECT_EQ(read->Shard.Index, 3u);
  EXPECT_EQ(read->Shard.Count, 4u);
  EXPECT_EQ(read->Study, "0123456789abcdef");
  EXPECT_EQ(read->Cases, 1234u);
  for (const char* other : {"# chung-batch shard 5/4 of study 0123456789abcdef, 1234 cases",
                            "# chung-batch shard 03/4 of study 0123456789abcdef, 1234 cases",
                            "# chung-batch shard 3/4 of study 0123456789ABCDEF, 1234 cases",
                            "# chung-batch shard 3/4 of study 0123456789abcde, 1234 cases",
                            "# chung-batch shard 3/4 of study 0123456789abcdef, 0 cases",
                            "# chung-batch shard 3/4 of study 0123456789abcdef, 1234 cases ",
                            "case,ScrewSpeed (rpm),outcome"}) {
    EXPECT_FALSE(ParseShardLine(other)) << other;
  }
}

}  // namespace
