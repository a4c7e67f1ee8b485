#include "batch_run.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <locale>
#include <memory>
#include <sstream>

#include "app/program_version.h"
#include "app/run_command.h"
#include "batch_inputs.h"
#include "batch_materials.h"
#include "batch_melt.h"
#include "batch_options.h"
#include "batch_outputs.h"
#include "batch_paths.h"
#include "batch_study.h"
#include "model/data_file.h"
#include "model/user_messages.h"
#include "report/replace_file.h"
#include "batch_find.h"
#include "results/input_names.h"
#include "materials/material_inputs.h"
#include "results/limit_json.h"
#include "results/melt_csv.h"
#include "results/profile_csv.h"
#include "results/run_json.h"
#include "results/run_summary.h"

namespace fs = std::filesystem;

namespace {

// Messages of the run go to stderr; the count tells whether a report writer
// had to complain while the run still counted as completed.
class StreamMessages : public UserMessages {
 public:
  explicit StreamMessages(std::ostream& err) : err_(err) {}
  void ShowMessage(const std::string& text) override {
    err_ << text << '\n';
    ++Count;
  }
  void ShowReason(const std::string& text) override { err_ << text << '\n'; }
  int Count = 0;

 private:
  std::ostream& err_;
};

// Reads and checks the data file and applies it as the window does; returns
// false after telling the user why the file was refused.
bool LoadDataFile(const std::string& path, RunTexts& texts, int32_t& unitIndex, char decimalSeparator,
                  std::ostream& err) {
  DataFileLineArray lines;
  int longLine = 0;
  if (!ReadDataFileLines(path, lines, &longLine)) {
    err << (longLine > 0 ? LongDataLineMessage(AbsolutePath(path), longLine) : "Data file can not open!")
        << '\n';
    return false;
  }
  const DataLineValues values = ParseDataLines(lines, AbsolutePath(path));
  if (!values.Accepted) {
    err << values.Message << '\n';
    return false;
  }
  ApplyDataLineValues(values, texts, unitIndex, decimalSeparator);
  return true;
}

// `lead`: where the report went, or that there is none.
std::string Summary(const ModelState& state, const std::string& lead) {
  std::ostringstream line;
  line.imbue(std::locale::classic());
  line << lead << ": " << state.Profile.RowCount << " rows, motor power for melting "
       << state.Profile.MeltingPower << " kW, net melting energy "
       << state.Profile.NetMeltingEnergy << " kW\n";
  return line.str();
}

// One export file, whole or not at all; false after telling the user.
bool Export(const std::optional<std::string>& file, const char* what, const std::string& bytes,
            std::ostream& err) {
  if (!file) return true;
  const std::string problem = ReplaceFileContents(*file, bytes);
  if (problem.empty()) return true;
  err << "chung-batch: the " << what << " file was not written: " << problem << '\n';
  return false;
}

// --csv for a completed run, --json for any run that reached the run command,
// --melt-csv when the melt-conveying stage completed.
bool WriteExports(const BatchOptions& options, const RunSetup& setup, const MeltRunResult& run,
                  const ModelState& state, const FoundLimit* limit, std::ostream& err) {
  const RunOutcome& outcome = run.Outcomes.Run;
  bool written = true;
  if (outcome.Result == RunResult::Completed) {
    written = Export(options.CsvFile, "CSV", ProfileCsv(state), err);
  }
  if (options.JsonFile) {
    const std::string json = limit ? LimitRunJson(setup, outcome, state, limit->Search, limit->Result)
                                   : RunJson(setup, outcome, state, &run);
    written = Export(options.JsonFile, "JSON", json, err) && written;
  }
  if (run.StageCompleted()) written = Export(options.MeltCsvFile, "melt CSV", MeltCsv(run.Stage), err) && written;
  return written;
}

// Text for stdout has been written: a stream that took none of it (a full
// disk, a closed pipe) is an error of its own, whatever the run achieved.
int CheckOutput(std::ostream& out, std::ostream& err, int status) {
  errno = 0;
  out.flush();
  if (out) return status;
  const int error = errno;
  err << "chung-batch: can not write to standard output"
      << (error != 0 ? std::string(": ") + std::strerror(error) : std::string()) << '\n';
  return BatchExitFailed;
}

}  // namespace

int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             char decimalSeparator, bool showProgress) {
  BatchOptions options;
  std::string usageError;
  if (!ParseBatchArguments(args, options, usageError, decimalSeparator)) {
    err << "chung-batch: " << usageError << '\n' << BatchUsage;
    return BatchExitUsage;
  }
  if (options.ShowHelp) {
    out << BatchHelp;
    return CheckOutput(out, err, BatchExitCompleted);
  }
  if (options.ShowVersion) {
    out << "chung-batch " << ProgramVersion << '\n';
    return CheckOutput(out, err, BatchExitCompleted);
  }
  if (!ApplyProjectStudy(args, options, decimalSeparator, usageError)) {
    err << "chung-batch: " << usageError << '\n' << BatchUsage;
    return BatchExitUsage;
  }
  // Checked before anything else is read: an output would overwrite its own data.
  if (const std::string problem = OutputsOverInputs(options); !problem.empty()) {
    err << "chung-batch: " << problem << '\n';
    return BatchExitUsage;
  }
  if (options.MergeOutput) return CheckOutput(out, err, RunMergeCommand(options, out, err));
  if (options.ListMaterials) return CheckOutput(out, err, ListMaterialsCommand(out, err));
  if (options.ShowMaterial) return CheckOutput(out, err, ShowMaterialCommand(*options.ShowMaterial, out, err));
  if (options.FitViscosity) return CheckOutput(out, err, FitViscosityCommand(*options.FitViscosity, out, err));

  // The run's whole setup, in this order: the data or project file, the
  // material, then --set.
  RunSetup setup = InitialRunSetup(decimalSeparator);
  if (options.DataFile) {
    const bool loaded = IsProjectFile(*options.DataFile)
                            ? LoadProjectFile(*options.DataFile, options, setup, decimalSeparator, err)
                            : LoadDataFile(*options.DataFile, setup.Texts, setup.UnitIndex, decimalSeparator, err);
    if (!loaded) return BatchExitDataFileRefused;
  }
  if (const int status = ApplyBatchMaterials(options, setup, decimalSeparator, err); status != 0) return status;
  for (const InputSetting& setting : options.Settings) {
    (setting.Input < InputCount ? setup.Texts[setting.Input] : setup.Melt[setting.Input - InputCount]) = setting.Text;
  }
  setup.MeltStage = options.MeltStageOn();
  setup.Texts[InputCount] = options.ResultFile;
  // A study shows no run's warnings: the material's come first. A search
  // shows the run at its value, with them.
  if (setup.Material && options.StudyFile) {
    for (const std::string& warning : MaterialWarnings(*setup.Material, setup.Texts, decimalSeparator)) {
      err << "warning: " << warning << '\n';
    }
    if (const std::string note = MaterialEstimateNote(*setup.Material); !note.empty()) err << "note: " << note << '\n';
  }
  // A study of limits checks stdout like any study; a single search does as a run does.
  if (options.Find && options.StudyFile) {
    return CheckOutput(out, err, RunFindCommand(options, setup, showProgress, out, err));
  }
  if (options.Find) return RunFindCommand(options, setup, showProgress, out, err);
  if (options.StudyFile) return CheckOutput(out, err, RunStudyCommand(options, setup, showProgress, out, err));
  return RunSingle(options, setup, out, err);
}

int RunSingle(const BatchOptions& options, const RunSetup& setup, std::ostream& out, std::ostream& err,
              const FoundLimit* limit) {
  const char decimalSeparator = setup.DecimalSeparator;
  // The record holds a dozen 601-entry arrays: keep it off the stack.
  const auto state = std::make_unique<ModelState>();
  StreamMessages messages(err);
  const ReportWriting writing = options.NoReport ? ReportWriting::Skip : ReportWriting::Write;
  const MeltRunResult run = RunWithMelt(*state, setup, messages, writing, options.OperatingPoint);
  const RunOutcome& outcome = run.Outcomes.Run;
  if (outcome.Result != RunResult::Completed) {
    err << OutcomeMessage(outcome) << '\n';
    // The model's message names no input: the next line does.
    if (const std::optional<int> input = FirstUnconvertibleInput(setup.Texts, decimalSeparator)) {
      err << InputNames[*input].Name << ": \"" << setup.Texts[*input] << "\" is not a number with the decimal separator '"
          << decimalSeparator << "'\n";
    }
  }
  const bool exported = WriteExports(options, setup, run, *state, limit, err);

  switch (outcome.Result) {
    case RunResult::Rejected:
      return exported ? BatchExitRejected : BatchExitFailed;
    case RunResult::Failed:
      return BatchExitFailed;
    case RunResult::Completed:
      break;
  }
  const RunSummary summary = SummarizeRun(*state);
  for (const std::string& warning : summary.Warnings) err << "warning: " << warning << '\n';
  const std::vector<std::string> materialWarnings =
      setup.Material ? MaterialWarnings(*setup.Material, setup.Texts, decimalSeparator) : std::vector<std::string>{};
  for (const std::string& warning : materialWarnings) err << "warning: " << warning << '\n';
  if (setup.Material) {
    if (const std::string note = MaterialEstimateNote(*setup.Material); !note.empty()) {
      err << "note: " << note << '\n';
    }
  }
  // A report writer that could not open the file tells the user and lets the
  // run complete; for a batch run that is a failure, not a written report.
  if (messages.Count > 0) {
    err << "The report was not written completely to "
        << AbsolutePath(state->Inputs.ResultFileName) << '\n';
    return BatchExitFailed;
  }
  if (!exported) return BatchExitFailed;
  out << Summary(*state, options.NoReport ? std::string("Run completed, no report written")
                                          : "Report written to " + AbsolutePath(state->Inputs.ResultFileName));
  // The stage comes after the melting run's report, which stands whatever
  // the stage says.
  const MeltStageReport stage = ReportMeltStage(run, out, err);
  if (stage.Status != 0) return CheckOutput(out, err, stage.Status);
  const bool warned = !summary.Warnings.empty() || !materialWarnings.empty() || stage.WarningCount > 0;
  return CheckOutput(out, err, options.Strict && warned ? BatchExitWarnings : BatchExitCompleted);
}
