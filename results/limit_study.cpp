#include "results/limit_study.h"

#include "results/input_names.h"
#include "results/number_text.h"
#include "results/study_rows.h"

std::string LimitStudyHeader(const StudyPlan& plan, const LimitSearch& search, int32_t unitIndex) {
  const std::string unit = " (" + InputUnit(search.Input, unitIndex) + ")";
  return StudyAxesHeader(plan, unitIndex) +
         CsvField(std::string("limit ") + InputNames[search.Input].Name + unit) + ",limit status,limit runs," +
         CsvField("limit holds in" + unit) + ',' + StudyOutcomeHeader();
}

std::string LimitStudyRow(const StudyPlan& plan, uint64_t caseNumber, const LimitResult& result) {
  return StudyAxesColumns(plan, caseNumber) + (result.Value ? RoundTripText(*result.Value) : std::string()) + ',' +
         LimitStatusName(result.Status) + ',' + std::to_string(result.Runs) + ',' +
         CsvField(LimitIntervalsText(result.Intervals)) + ',' + result.ShownColumns;
}

LimitStudyCounts RunLimitStudy(const StudyPlan& plan, const LimitSearch& search, const StudySettings& settings,
                               const StudyRowWriter& write, const std::atomic<bool>& stop,
                               const StudyProgress& progress, const LimitCaseObserver& observe) {
  LimitStudyCounts counts;
  counts.Planned = ShardCaseCount(StudyCaseCount(plan), settings.Shard);
  for (uint64_t j = 0; j < counts.Planned; ++j) {
    const uint64_t caseNumber = ShardCaseNumber(settings.Shard, j);
    StudySettings caseSettings = settings;
    caseSettings.Base = StudyCaseSetup(plan, caseNumber, settings.Base);
    // A varied die input gives each case its own die; a die the stage
    // refuses is reached nowhere, as in a search over a die input.
    LimitSearch caseSearch = search;
    if (StudyVariesMeltInput(plan)) {
      ApplyStudyCase(plan, caseNumber, caseSearch.DieTexts);
      caseSearch.DieRefused = ConvertMeltInputs(caseSearch.DieTexts, settings.Base.DecimalSeparator, caseSearch.Die).has_value();
    }
    const LimitResult result = FindLimit(caseSearch, caseSettings, stop);
    if (result.Stopped) break;
    if (!write(LimitStudyRow(plan, caseNumber, result))) {
      counts.WriteFailed = true;
      break;
    }
    ++counts.Written;
    uint64_t* const tally[] = {&counts.Found, &counts.HoldsNowhere, &counts.HoldsEverywhere, &counts.SeveralChanges};
    ++*tally[static_cast<int>(result.Status)];
    if (observe) observe(caseNumber, result);
    if (progress) progress(counts.Written, counts.Planned);
  }
  counts.Stopped = counts.Written < counts.Planned && !counts.WriteFailed;
  return counts;
}
