#include "batch_find.h"

#include <atomic>

#include "batch_run.h"
#include "batch_study.h"
#include "results/limit_find.h"

int RunFindCommand(const BatchOptions& options, const RunTexts& texts, int32_t unitIndex, char decimalSeparator,
                   bool showProgress, std::ostream& out, std::ostream& err) {
  if (options.StudyFile) {
    return RunStudyCommand(options, texts, std::nullopt, unitIndex, decimalSeparator, showProgress, out, err);
  }
  StudySettings settings;
  settings.BaseTexts = texts;
  settings.UnitIndex = unitIndex;
  settings.DecimalSeparator = decimalSeparator;
  settings.Workers = BatchWorkers(options);
  // A search takes a few hundredths of a second: no stop signal is awaited.
  const std::atomic<bool> stop{false};
  LimitSearch search = *options.Find;
  // The stage's own inputs as they start: no die, no pressure at the start
  // of melting.
  ConvertMeltInputs(InitialMeltTexts(decimalSeparator), decimalSeparator, search.Die);
  const LimitResult result = FindLimit(search, settings, stop);
  out << LimitResultLine(search, result, unitIndex) << '\n';

  RunTexts shown = texts;
  shown[search.Input] = result.ShownText;
  const FoundLimit limit{search, result};
  return RunSingle(options, shown, unitIndex, decimalSeparator, out, err, &limit);
}
