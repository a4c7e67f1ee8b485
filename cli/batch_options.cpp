#include "batch_options.h"

#include "model/input_fields.h"

const char* const BatchUsage = "Usage: chung-batch [DATAFILE] [-o RESULT]\n";

const char* const BatchHelp =
    "Usage: chung-batch [DATAFILE] [-o RESULT]\n"
    "\n"
    "Runs the Chung melting model once, without the window, and writes the report.\n"
    "\n"
    "  DATAFILE    a 29-line data file (label = value); its values replace the\n"
    "              initial texts of the editable inputs and line 29 sets the\n"
    "              viscosity unit (0 Pa.s, any other integer gf.s/cm2); lines 15\n"
    "              to 25 (viscosity law and material) are read but not used.\n"
    "              Without it the run uses the window's initial values.\n"
    "  -o RESULT   the result file (default result.txt in the current directory)\n"
    "  -h, --help  show this text\n"
    "  --version   show the version\n"
    "  --          end of options; the next argument is the data file\n"
    "\n"
    "Numbers are read and written with the decimal separator of the locale.\n"
    "Exit status: 0 report written, 1 input refused, 2 run failed, report not\n"
    "written completely or standard output not writable, 3 data file unreadable\n"
    "or refused, 64 usage error (also when RESULT is the data file).\n";

bool ParseBatchArguments(const std::vector<std::string>& args, BatchOptions& options,
                         std::string& error) {
  options = BatchOptions{};
  options.ResultFile = InitialResultFileName;
  bool resultFileGiven = false;
  bool optionsEnded = false;

  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!optionsEnded && (arg == "-h" || arg == "--help")) {
      options.ShowHelp = true;
      return true;
    }
    if (!optionsEnded && arg == "--version") {
      options.ShowVersion = true;
      return true;
    }
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && arg == "-o") {
      if (i + 1 == args.size()) {
        error = "option -o needs a result file name";
        return false;
      }
      if (resultFileGiven) {
        error = "option -o given more than once";
        return false;
      }
      options.ResultFile = args[++i];
      resultFileGiven = true;
    } else if (!optionsEnded && arg.size() > 0 && arg[0] == '-') {
      error = "unknown option " + arg;
      return false;
    } else if (options.DataFile) {
      error = "only one data file can be given";
      return false;
    } else {
      options.DataFile = arg;
    }
  }
  return true;
}
