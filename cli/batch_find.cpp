#include "batch_find.h"

#include <atomic>

#include "batch_run.h"
#include "batch_study.h"
#include "results/input_names.h"
#include "results/limit_find.h"

int RunFindCommand(const BatchOptions& options, const RunSetup& setup, bool showProgress, std::ostream& out,
                   std::ostream& err) {
  const char decimalSeparator = setup.DecimalSeparator;
  const int32_t unitIndex = setup.UnitIndex;
  // The die that die-reached, and clean with the stage on, judge: the
  // stage's texts after --set.
  BatchOptions withDie = options;
  withDie.Find->DieTexts = setup.Melt;
  withDie.Find->Stage = options.Find->Condition == LimitCondition::Clean &&
                        (setup.MeltStage || IsMeltInput(options.Find->Input));
  if (const std::optional<std::string> refusal =
          ConvertMeltInputs(withDie.Find->DieTexts, decimalSeparator, withDie.Find->Die)) {
    err << *refusal << '\n';
    return BatchExitRejected;
  }
  // A search, and the run it shows, are the melting run alone; the search
  // carries the die.
  RunSetup melting = setup;
  melting.MeltStage = false;
  if (options.StudyFile) return RunStudyCommand(withDie, melting, showProgress, out, err);
  StudySettings settings;
  settings.Base = melting;
  settings.Workers = BatchWorkers(options);
  // A search takes a few hundredths of a second: no stop signal is awaited.
  const std::atomic<bool> stop{false};
  const LimitSearch search = *withDie.Find;
  const LimitResult result = FindLimit(search, settings, stop);
  out << LimitResultLine(search, result, unitIndex) << '\n';

  // A stage input leaves the melting run as it is: only its value differs.
  if (!IsMeltInput(search.Input)) melting.Texts[search.Input] = result.ShownText;
  const FoundLimit limit{search, result};
  return RunSingle(options, melting, out, err, &limit);
}
