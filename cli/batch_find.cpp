#include "batch_find.h"

#include <atomic>

#include "batch_melt.h"
#include "batch_run.h"
#include "batch_study.h"
#include "results/limit_find.h"

bool PrepareLimitSearch(BatchOptions& options, char decimalSeparator, std::ostream& err) {
  const MeltRequest melt = BatchMeltRequest(options, decimalSeparator);
  const std::optional<std::string> refusal = ConvertMeltInputs(melt.Texts, decimalSeparator, options.Find->Die);
  if (refusal && options.Find->Condition == LimitCondition::DieReached) {
    err << *refusal << '\n';
    return false;
  }
  return true;
}

int RunFindCommand(const BatchOptions& options, const RunTexts& texts, int32_t unitIndex, char decimalSeparator,
                   std::ostream& out, std::ostream& err) {
  StudySettings settings;
  settings.BaseTexts = texts;
  settings.UnitIndex = unitIndex;
  settings.DecimalSeparator = decimalSeparator;
  settings.Workers = BatchWorkers(options);
  // A search takes a few hundredths of a second: no stop signal is awaited.
  const std::atomic<bool> stop{false};
  const LimitSearch& search = *options.Find;
  const LimitResult result = FindLimit(search, settings, stop);
  out << LimitResultLine(search, result, unitIndex) << '\n';

  RunTexts shown = texts;
  shown[search.Input] = result.ShownText;
  const FoundLimit limit{search, result};
  return RunSingle(options, shown, unitIndex, decimalSeparator, out, err, &limit);
}
