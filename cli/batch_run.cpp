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
#include "batch_options.h"
#include "model/data_file.h"
#include "model/user_messages.h"
#include "same_file.h"

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
  int Count = 0;

 private:
  std::ostream& err_;
};

// The full path, as the window's open dialog would name the file.
std::string AbsolutePath(const std::string& path) {
  std::error_code error;
  const fs::path absolute = fs::absolute(path, error);
  return error ? path : absolute.lexically_normal().string();
}

// Reads and checks the data file and applies it as the window does; returns
// false after telling the user why the file was refused.
bool LoadDataFile(const std::string& path, RunTexts& texts, int32_t& unitIndex,
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
  ApplyDataLineValues(values, texts, unitIndex);
  return true;
}

std::string Summary(const ModelState& state) {
  std::ostringstream line;
  line.imbue(std::locale::classic());
  line << "Report written to " << AbsolutePath(state.Inputs.ResultFileName) << ": "
       << state.Profile.RowCount << " rows, motor power for melting "
       << state.Profile.MeltingPower << " kW, net melting energy "
       << state.Profile.NetMeltingEnergy << " kW\n";
  return line.str();
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
             char decimalSeparator) {
  BatchOptions options;
  std::string usageError;
  if (!ParseBatchArguments(args, options, usageError)) {
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
  // Checked before anything is read: the report would overwrite its own data.
  if (options.DataFile && SameFile(*options.DataFile, options.ResultFile)) {
    err << "chung-batch: the result file \"" << options.ResultFile << "\" and the data file \""
        << *options.DataFile << "\" are the same file; name another result file with -o\n";
    return BatchExitUsage;
  }

  RunTexts texts = InitialRunTexts();
  int32_t unitIndex = InitialUnitIndex;
  if (options.DataFile && !LoadDataFile(*options.DataFile, texts, unitIndex, err)) {
    return BatchExitDataFileRefused;
  }
  texts[InputCount] = options.ResultFile;

  // The record holds a dozen 601-entry arrays: keep it off the stack.
  const auto state = std::make_unique<ModelState>();
  StreamMessages messages(err);
  const RunOutcome outcome = RunCommand(*state, texts, unitIndex, messages, decimalSeparator);

  switch (outcome.Result) {
    case RunResult::Rejected:
      err << outcome.Message << '\n';
      return BatchExitRejected;
    case RunResult::Failed:
      err << OutcomeMessage(outcome) << '\n';
      return BatchExitFailed;
    case RunResult::Completed:
      break;
  }
  // A report writer that could not open the file tells the user and lets the
  // run complete; for a batch run that is a failure, not a written report.
  if (messages.Count > 0) {
    err << "The report was not written completely to "
        << AbsolutePath(state->Inputs.ResultFileName) << '\n';
    return BatchExitFailed;
  }
  out << Summary(*state);
  return CheckOutput(out, err, BatchExitCompleted);
}
