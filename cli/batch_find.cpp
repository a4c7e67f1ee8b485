#include "batch_find.h"

#include <atomic>

#include "batch_melt.h"
#include "batch_run.h"
#include "batch_study.h"
#include "results/input_names.h"
#include "results/limit_find.h"

int RunFindCommand(const BatchOptions& options, const RunTexts& texts, int32_t unitIndex, char decimalSeparator,
                   bool showProgress, std::ostream& out, std::ostream& err) {
  // The die that die-reached, and clean with the stage on, judge: the
  // stage's texts after --set.
  BatchOptions withDie = options;
  withDie.Find->DieTexts = BatchMeltRequest(options, decimalSeparator).Texts;
  withDie.Find->Stage = options.Find->Condition == LimitCondition::Clean &&
                        (options.MeltStageOn() || IsMeltInput(options.Find->Input));
  if (const std::optional<std::string> refusal =
          ConvertMeltInputs(withDie.Find->DieTexts, decimalSeparator, withDie.Find->Die)) {
    err << *refusal << '\n';
    return BatchExitRejected;
  }
  if (options.StudyFile) {
    return RunStudyCommand(withDie, texts, std::nullopt, unitIndex, decimalSeparator, showProgress, out, err);
  }
  StudySettings settings;
  settings.BaseTexts = texts;
  settings.UnitIndex = unitIndex;
  settings.DecimalSeparator = decimalSeparator;
  settings.Material = options.ChosenMaterial;
  settings.Workers = BatchWorkers(options);
  // A search takes a few hundredths of a second: no stop signal is awaited.
  const std::atomic<bool> stop{false};
  const LimitSearch search = *withDie.Find;
  const LimitResult result = FindLimit(search, settings, stop);
  out << LimitResultLine(search, result, unitIndex) << '\n';

  // A stage input leaves the melting run as it is: only its value differs.
  RunTexts shown = texts;
  if (!IsMeltInput(search.Input)) shown[search.Input] = result.ShownText;
  const FoundLimit limit{search, result};
  return RunSingle(options, shown, unitIndex, decimalSeparator, out, err, &limit);
}
