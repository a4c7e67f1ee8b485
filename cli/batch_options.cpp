#include "batch_options.h"

#include <charconv>
#include <utility>

#include "model/input_fields.h"
#include "model/number_conversion.h"
#include "results/input_names.h"

const char* const BatchUsage = "Usage: chung-batch [DATAFILE] [-o RESULT]\n";

const char* const BatchHelp =
    "Usage: chung-batch [DATAFILE] [-o RESULT]\n"
    "       chung-batch [DATAFILE] [OPTIONS]\n"
    "       chung-batch [DATAFILE] --study FILE.csv --vary NAME=VALUES... [OPTIONS]\n"
    "       chung-batch [DATAFILE] --find NAME=LO:HI --until CONDITION [OPTIONS]\n"
    "       chung-batch --merge OUT.csv SHARD.csv...\n"
    "\n"
    "Runs the Chung melting model once, without the window, and writes the report.\n"
    "With --study it runs a parameter study instead: one run per case, one line\n"
    "per case in a CSV file.\n"
    "\n"
    "  DATAFILE    a 29-line data file (label = value); its values replace the\n"
    "              initial texts of the editable inputs and line 29 sets the\n"
    "              viscosity unit (0 Pa.s, any other integer gf.s/cm2); lines 15\n"
    "              to 25 (viscosity law and material) are read but not used.\n"
    "              Without it the run uses the window's initial values.\n"
    "              A project file (.chung, JSON, saved by the window) may\n"
    "              stand in its place: its 28 texts, unit, material and, when\n"
    "              its stage is on, the die. With --study, its study setup:\n"
    "              its axes when no --vary is given, its --find (with --until,\n"
    "              --smallest, --tolerance, --bound) when no --find is given.\n"
    "  -o RESULT   the result file (default result.txt in the current directory)\n"
    "  -h, --help  show this text\n"
    "  --version   show the version\n"
    "  --          the next argument is the data file, even if it starts with -\n"
    "\n"
    "One run:\n"
    "  --no-report       do not write the result file\n"
    "  --csv FILE        write the melting profile of a completed run as CSV\n"
    "  --json FILE       write the inputs, the outcome and its message, the summary\n"
    "                    and the profile as JSON (docs/run-json.md)\n"
    "  --strict          exit 4 when the run completes with warnings\n"
    "  After a completed run each warning about the result goes to stderr as\n"
    "  \"warning: ...\".\n"
    "\n"
    "Any input by name:\n"
    "  --set NAME=VALUE  sets input NAME after the data file, as if VALUE were\n"
    "                    typed into its field; any of the 28 inputs, the fixed\n"
    "                    viscosity law and material too (repeatable). The names,\n"
    "                    in the order of the data file's lines 1 to 28:\n"
    "                    ScrewDiameter FeedTurns CompressionTurns MeteringTurns\n"
    "                    DelayTurns FeedDepth MeteringDepth ScrewPitch FlightWidth\n"
    "                    ScrewSpeed OutputRate BarrelB0 BarrelB1 BarrelB2 ViscM0\n"
    "                    ViscB ViscN ViscT0 SolidDensity MeltDensity\n"
    "                    SolidSpecificHeat HeatOfFusion MeltSpecificHeat\n"
    "                    MeltConductivity MeltingPoint SolidInletTemp\n"
    "                    InletCompaction StartWidthRatio\n"
    "                    and the melt-conveying stage's (below): DieMode\n"
    "                    DieHeadPressure DieDiameter DieLength DieSlitWidth\n"
    "                    DieSlitGap DieConstant MeltStartPressure\n"
    "                    BarrelHeatTransferFactor\n"
    "\n"
    "Pressure, melt temperature and the die (the melt-conveying stage):\n"
    "  --melt            after a completed run, computes the pressure and the melt\n"
    "                    temperature from where melting starts to the screw tip,\n"
    "                    as the best estimate (BestEstimate, with heat transfer to\n"
    "                    the barrel) and two bounds (Adiabatic, Barrel), and the\n"
    "                    die's need.\n"
    "                    Setting or varying any stage input turns it on too.\n"
    "  --operating-point also finds the flood-fed operating point of each profile:\n"
    "                    the output at which the screw's tip pressure equals the\n"
    "                    die's need\n"
    "  --melt-csv FILE   writes the stage's rows (every grid point to the tip,\n"
    "                    both bounds and the best estimate) as CSV\n"
    "  DieMode           None (no die, the default), HeadPressure, Capillary,\n"
    "                    Slit or Constant; also none, pressure, capillary, slit,\n"
    "                    constant\n"
    "  DieHeadPressure   MPa (HeadPressure); DieDiameter, DieLength cm\n"
    "                    (Capillary); DieSlitWidth, DieSlitGap, DieLength cm\n"
    "                    (Slit); DieConstant cm3 (Constant); MeltStartPressure\n"
    "                    MPa, the pressure where melting starts (default 0)\n"
    "  BarrelHeatTransferFactor\n"
    "                    scales the best estimate's barrel heat transfer\n"
    "                    coefficient (default 1, penetration theory; 0 none)\n"
    "  The --json file gains \"melt\" (null when the stage did not run); the\n"
    "  stage's warnings go to stderr as \"warning: ...\" and count for --strict,\n"
    "  except BoundsFarApart, a \"note: ...\". A stage input or value the stage\n"
    "  refuses exits 1, a floating point fault in the stage exits 2; the run's\n"
    "  report is written all the same. A study with the stage gains columns:\n"
    "  per profile tip, peak and die pressure, margin, tip melt temperature, and\n"
    "  with --operating-point the output found and its status.\n"
    "\n"
    "Materials:\n"
    "  --material NAME|FILE\n"
    "                    sets the eleven material inputs (ViscM0 ... MeltingPoint)\n"
    "                    from a material of the library (NAME, letter case\n"
    "                    ignored) or a material file (a path with '/' or ending in\n"
    "                    .json), after the data file and before --set; m0 is\n"
    "                    converted when the run's viscosity unit is not the\n"
    "                    record's (1 gf.s^n/cm2 = 98.0665 Pa.s^n). Warns when\n"
    "                    BarrelB0 lies outside the material's viscosity fit\n"
    "                    window or is not above its melting point; notes values\n"
    "                    that are estimates. The --json file gains \"material\".\n"
    "  --list-materials  lists the library: key, class, quality of the viscosity\n"
    "                    law and the seven other values (A table, B excerpt or\n"
    "                    proxy, C estimate, - the program's default), built-in or\n"
    "                    user, name\n"
    "  --show-material NAME|FILE\n"
    "                    prints a material's record as JSON\n"
    "  --fit-viscosity NAME|FILE|POINTS\n"
    "                    fits mu = m0 exp(-b (T - T0)) gamma^(n-1) by least\n"
    "                    squares of ln mu: to a material's source law (Cross-WLF,\n"
    "                    Cross with Arrhenius zero-shear viscosity, power law)\n"
    "                    over its fit window on a 41 x 41 grid, T0 the window's\n"
    "                    top; or to measured points, one per line: temperature\n"
    "                    (degC), shear rate (1/s), viscosity (Pa.s), separated by\n"
    "                    tabs, commas, semicolons or blanks (with tabs or\n"
    "                    semicolons a comma is the decimal point), T0 the highest\n"
    "                    temperature. Prints m0, b, n, T0 and the errors.\n"
    "  Built-in materials: share/chung-model-simulation/materials; your own:\n"
    "  $XDG_DATA_HOME/chung/materials/KEY.json (~/.local/share by default).\n"
    "  A study varies materials with --vary Material=LDPE;HDPE;PP (a column\n"
    "  \"material\").\n"
    "\n"
    "Parameter studies:\n"
    "  --study FILE.csv  runs every case and writes one line per case, in case\n"
    "                    order: the case number, the varied inputs, the outcome,\n"
    "                    the message, where melting ends (turns, cm, L/D), QS/QT\n"
    "                    there, motor power, net melting energy, specific energy,\n"
    "                    conveying angle and the warnings\n"
    "  --vary NAME=FROM:TO:STEP\n"
    "                    the values FROM + k x STEP up to TO (k = 0, 1, ...)\n"
    "  --vary NAME=V1;V2;...\n"
    "                    the values listed, ';' between them in every locale\n"
    "                    (',' also where the decimal separator is '.'; quote\n"
    "                    the ';' for the shell). The cases are every\n"
    "                    combination of the --vary values, the last --vary\n"
    "                    varying fastest; at most 10000000 cases. A varied input\n"
    "                    overrides --set. A STEP lost in rounding (equal\n"
    "                    consecutive values) is refused.\n"
    "  --reports DIR     also writes each case's report, DIR/case-000001.txt ...;\n"
    "                    a report not written leaves its case's figures in the\n"
    "                    row with the reason as message, and the study exits 2\n"
    "  -j N              runs N cases at a time (default: one per core)\n"
    "  --shard K/N       runs only the cases whose number modulo N is K-1, to\n"
    "                    split a study over N machines; the file starts with a\n"
    "                    line naming the shard, its study and the study's cases\n"
    "  --merge OUT.csv SHARD.csv...\n"
    "                    joins the shards' study files into the whole study's\n"
    "                    file; refuses (exit 3) shards of other studies and rows\n"
    "                    no shard writes, warns of missing cases\n"
    "  --replace         lets --merge replace OUT.csv when it is a shard's file\n"
    "  Ctrl+C or SIGTERM stops a study: the study file keeps the cases before\n"
    "  the first unfinished one. A progress line goes to stderr when it is a\n"
    "  terminal.\n"
    "\n"
    "Finding a limit:\n"
    "  --find NAME=LO:HI  finds the largest value of input NAME from LO to HI at\n"
    "                    which the condition holds: 64 runs spread over the\n"
    "                    interval (on every core), then bisection of the last\n"
    "                    change of the condition to a millionth of the value.\n"
    "                    Prints the value, its status and the runs used, then\n"
    "                    runs the value like a single run: -o, --csv, --json\n"
    "                    (with a member \"find\": Value, Status, Runs, Intervals),\n"
    "                    --no-report, --strict and --set work as for one run.\n"
    "                    Status: Found, HoldsEverywhere (the value is HI),\n"
    "                    SeveralChanges (the condition changes more than once;\n"
    "                    the value is still the top of the highest interval where\n"
    "                    it holds) or HoldsNowhere (no value; the run shown is at\n"
    "                    HI). The exit status is the run shown's, as for one run.\n"
    "  --until CONDITION melted: completed with less than 2 % of the solid left\n"
    "                    within the screw; clean: melted and without warnings,\n"
    "                    with the stage on (--melt, a die's input) of the\n"
    "                    stage's too;\n"
    "                    die-reached: completed, and the melt-conveying stage's\n"
    "                    pressure at the tip at least what the die needs\n"
    "                    (PressureMargin 0.000 MPa or more, as shown) for both\n"
    "                    temperature bounds, the die as --set DieMode ...\n"
    "                    MeltStartPressure give it;\n"
    "                    NAME may then be one of the die's numbers (DieHeadPressure\n"
    "                    ... MeltStartPressure), each trial value put in the die\n"
    "  --bound BOUND     die-reached for one profile only: Adiabatic, Barrel or\n"
    "                    BestEstimate\n"
    "  --smallest        the smallest value instead (the first change; the run\n"
    "                    shown where it holds nowhere is at LO)\n"
    "  --tolerance X     bisect until the interval is X wide, in NAME's unit; never\n"
    "                    below a billionth of HI - LO, so a search takes at most 88\n"
    "                    runs (the line says when that bound ended it)\n"
    "  With --study FILE.csv and --vary of other inputs, one search per case:\n"
    "  case, the varied inputs, the limit (NAME's unit), its status, its runs,\n"
    "  the scan points where the condition holds (\"100 to 300 | 350 to 400\"),\n"
    "  then the study columns (outcome ... warnings) of the run at the limit.\n"
    "\n"
    "Numbers are read, and the report written, with the decimal separator of the\n"
    "locale; the lines on stdout and stderr use \".\" whatever the locale.\n"
    "Exit status: 0 report written, 1 input refused, 2 run failed, report not\n"
    "written completely or standard output not writable, 3 data file, project\n"
    "file or material unreadable or refused, 64 usage error (also when an output\n"
    "is an input or two outputs are one file).\n"
    "Also: 4 run completed with warnings under --strict, 130 study stopped; a\n"
    "study or merge exits 0 once its file is written, whatever the cases' outcomes.\n"
    "CSV, JSON and study files always use \".\" as decimal point, and are written\n"
    "whole or not at all; SIGINT, SIGTERM and SIGHUP leave no temporary file.\n"
    "A symbolic link in a world-writable sticky folder (/tmp) is followed only when\n"
    "it belongs to you or to the folder's owner, as the kernel does; any other is\n"
    "refused (exit 2).\n";

namespace {

constexpr unsigned MaxWorkers = 1024;

// The whole text as a number from 1 to `max`.
bool WholeNumber(std::string_view text, uint64_t max, uint64_t& number) {
  const std::from_chars_result read = std::from_chars(text.data(), text.data() + text.size(), number);
  return read.ec == std::errc() && read.ptr == text.data() + text.size() && number >= 1 && number <= max;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

bool ParseSetting(const std::string& text, BatchOptions& options, std::string& error) {
  const std::size_t equals = text.find('=');
  if (equals == std::string::npos) {
    error = "option --set " + Quoted(text) +
            ": no '=' between the input name and its value; the names are " + InputNameList();
    return false;
  }
  const std::optional<int> input = FindInputByName(std::string_view(text).substr(0, equals));
  if (!input) {
    error = "option --set " + Quoted(text) + ": unknown input name " + Quoted(text.substr(0, equals)) +
            "; the names are " + InputNameList();
    return false;
  }
  std::string value = text.substr(equals + 1);
  if (IsWordInput(*input)) value = DieModeText(value);
  options.Settings.push_back({*input, std::move(value)});
  return true;
}

bool ParseVary(const std::string& text, char decimalSeparator, BatchOptions& options, std::string& error) {
  std::string problem;
  std::optional<StudyAxis> axis = ParseStudyAxis(text, decimalSeparator, problem);
  if (!axis) {
    error = "option --vary " + Quoted(text) + ": " + problem;
    return false;
  }
  for (const StudyAxis& earlier : options.Plan.Axes) {
    if (earlier.Input == axis->Input) {
      error = "option --vary " + Quoted(text) + ": " + StudyAxisName(*axis) + " is varied twice";
      return false;
    }
  }
  options.Plan.Axes.push_back(std::move(*axis));
  return true;
}

bool ParseShard(const std::string& text, BatchOptions& options, std::string& error) {
  const std::size_t slash = text.find('/');
  uint64_t index = 0, count = 0;
  if (slash == std::string::npos || !WholeNumber(std::string_view(text).substr(slash + 1), MaxStudyCases, count) ||
      !WholeNumber(std::string_view(text).substr(0, slash), count, index)) {
    error = "option --shard " + Quoted(text) + ": K/N needs whole numbers with 1 <= K <= N";
    return false;
  }
  options.Shard = {index, count};
  return true;
}

bool ParseWorkers(const std::string& text, BatchOptions& options, std::string& error) {
  uint64_t workers = 0;
  if (!WholeNumber(text, MaxWorkers, workers)) {
    error = "option -j " + Quoted(text) + ": the number of workers is a whole number from 1 to " +
            std::to_string(MaxWorkers);
    return false;
  }
  options.Workers = static_cast<unsigned>(workers);
  return true;
}

// NAME=LO:HI for --find.
bool ParseFind(const std::string& text, char decimalSeparator, LimitSearch& search, std::string& error) {
  const std::size_t equals = text.find('=');
  const std::size_t colon = text.find(':', equals == std::string::npos ? 0 : equals);
  if (equals == std::string::npos || colon == std::string::npos) {
    error = "option --find " + Quoted(text) + ": the search is NAME=LO:HI";
    return false;
  }
  const std::optional<int> input = FindInputByName(std::string_view(text).substr(0, equals));
  if (!input) {
    error = "option --find " + Quoted(text) + ": unknown input name " + Quoted(text.substr(0, equals)) +
            "; the names are " + InputNameList();
    return false;
  }
  const std::optional<double> low = ConvertNumber(std::string_view(text).substr(equals + 1, colon - equals - 1), decimalSeparator);
  const std::optional<double> high = ConvertNumber(std::string_view(text).substr(colon + 1), decimalSeparator);
  if (!low || !high || !(*low < *high)) {
    error = "option --find " + Quoted(text) + ": LO and HI are numbers with LO below HI";
    return false;
  }
  search.Input = *input;
  search.Low = *low;
  search.High = *high;
  return true;
}

// --until, --smallest and --tolerance belong to --find, which needs --until;
// a searched input can not also be varied.
bool CheckFindOptions(const BatchOptions& options, const char* findOption, bool untilGiven, std::string& error) {
  if (!options.Find) {
    if (findOption) error = std::string("option ") + findOption + " needs --find NAME=LO:HI";
    return findOption == nullptr;
  }
  if (!untilGiven) {
    error = "option --find needs --until melted, clean or die-reached";
    return false;
  }
  // The stage's own inputs describe the die that die-reached and clean with
  // the stage judge; they change nothing melted looks at, and DieMode is not
  // a number.
  const int input = options.Find->Input;
  const bool judgesStage = options.Find->Condition != LimitCondition::Melted;
  if (IsMeltInput(input) && (IsWordInput(input) || !judgesStage)) {
    error = std::string("option --find: ") + InputNames[input].Name +
            (IsWordInput(input) ? " is not a number and can not be searched"
                                : " changes only the melt-conveying stage: search it with --until clean or "
                                  "die-reached");
    return false;
  }
  bool dieSet = false;
  for (const InputSetting& setting : options.Settings) dieSet = dieSet || IsMeltInput(setting.Input);
  const bool dieVaried = StudyVariesMeltInput(options.Plan);
  if (options.OperatingPoint || options.MeltCsvFile ||
      (dieVaried && options.Find->Condition != LimitCondition::DieReached) ||
      ((options.Melt || dieSet) && !judgesStage)) {
    error = "option --find does not run the melt-conveying stage for melted, nor ever with "
            "--operating-point or --melt-csv; --melt and the die's inputs (DieMode ... MeltStartPressure) "
            "are for --until clean or die-reached, and a varied die's input only with --until die-reached, "
            "which judges each case's die";
    return false;
  }
  for (const StudyAxis& axis : options.Plan.Axes) {
    if (axis.Input == options.Find->Input) {
      error = std::string("option --find: ") + InputNames[axis.Input].Name + " is both searched and varied";
      return false;
    }
  }
  if (options.StudyFile && options.ReportsFolder) {
    error = "option --reports is not for a search of limits; --json or -o give the run at one limit";
    return false;
  }
  return true;
}

// The options that only a study takes, and those it refuses.
bool CheckStudyOptions(const BatchOptions& options, bool workersGiven, std::string& error) {
  if (!options.StudyFile) {
    const char* studyOption = !options.Plan.Axes.empty() ? "--vary"
                              : options.ReportsFolder    ? "--reports"
                              : workersGiven             ? "-j"
                              : options.ShardGiven       ? "--shard"
                                                         : nullptr;
    if (studyOption) error = std::string("option ") + studyOption + " needs --study FILE.csv";
    return studyOption == nullptr;
  }
  const char* singleRunOption = options.ResultFileGiven ? "-o"
                                : options.CsvFile       ? "--csv"
                                : options.JsonFile      ? "--json"
                                : options.MeltCsvFile   ? "--melt-csv"
                                : options.Strict        ? "--strict"
                                                        : nullptr;
  if (singleRunOption) {
    error = std::string("option ") + singleRunOption +
            " is for a single run; a study writes --study FILE.csv and --reports DIR";
    return false;
  }
  if (StudyCaseCount(options.Plan) > MaxStudyCases) {
    error = "the study has " + StudyCaseCountText(options.Plan) + " cases, more than the " +
            std::to_string(MaxStudyCases) + " a study may have";
    return false;
  }
  return true;
}

}  // namespace

bool BatchOptions::MeltStageOn() const {
  if (Melt || OperatingPoint || MeltCsvFile || StudyVariesMeltInput(Plan)) return true;
  for (const InputSetting& setting : Settings) {
    if (IsMeltInput(setting.Input)) return true;
  }
  return false;
}

bool ParseBatchArguments(const std::vector<std::string>& args, BatchOptions& options,
                         std::string& error, char decimalSeparator) {
  options = BatchOptions{};
  options.ResultFile = InitialResultFileName;
  bool nextIsFile = false;  // after "--": the next argument is a file, whatever it looks like
  bool workersGiven = false, othersGiven = false;
  LimitSearch search;
  const char* findOption = nullptr;  // the first of --until, --bound, --smallest, --tolerance
  bool untilGiven = false, boundGiven = false;
  std::vector<std::string> positional;
  const char* materialCommand = nullptr;  // the last of --list-materials, --show-material, --fit-viscosity
  int optionCount = 0;

  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!nextIsFile && (arg == "-h" || arg == "--help")) {
      options.ShowHelp = true;
      return true;
    }
    if (!nextIsFile && arg == "--version") {
      options.ShowVersion = true;
      return true;
    }
    // The value after an option that takes one; false after setting `error`.
    auto takeValue = [&](const char* needs, std::string& value) {
      if (i + 1 == args.size()) {
        error = "option " + arg + " needs " + needs;
        return false;
      }
      value = args[++i];
      return true;
    };
    auto takeOnce = [&](const char* needs, std::optional<std::string>& value) {
      if (value) {
        error = "option " + arg + " given more than once";
        return false;
      }
      std::string text;
      if (!takeValue(needs, text)) return false;
      value = text;
      return true;
    };
    std::string text;
    bool ok = true;
    if (nextIsFile || arg.empty() || arg[0] != '-') {
      if (!positional.empty() && !options.MergeOutput) {
        error = "only one data file can be given";
        return false;
      }
      positional.push_back(arg);
      nextIsFile = false;
      continue;
    }
    if (arg == "--") {
      nextIsFile = true;
      continue;
    }
    // Options that a second time would silently override the first.
    auto once = [&](bool& given) {
      if (given) error = "option " + std::string(arg.starts_with("-j") ? "-j" : arg) + " given more than once";
      return !std::exchange(given, true);
    };
    if (arg != "--merge" && arg != "--replace") othersGiven = true;
    ++optionCount;
    if (arg == "-o") {
      if (i + 1 == args.size()) {
        error = "option -o needs a result file name";
        return false;
      }
      if (options.ResultFileGiven) {
        error = "option -o given more than once";
        return false;
      }
      options.ResultFile = args[++i];
      options.ResultFileGiven = true;
    } else if (arg == "--no-report") {
      options.NoReport = true;
    } else if (arg == "--strict") {
      options.Strict = true;
    } else if (arg == "--csv") {
      ok = takeOnce("a file name", options.CsvFile);
    } else if (arg == "--json") {
      ok = takeOnce("a file name", options.JsonFile);
    } else if (arg == "--set") {
      ok = takeValue("NAME=VALUE", text) && ParseSetting(text, options, error);
    } else if (arg == "--melt") {
      options.Melt = true;
    } else if (arg == "--operating-point") {
      options.OperatingPoint = true;
    } else if (arg == "--melt-csv") {
      ok = takeOnce("a file name", options.MeltCsvFile);
    } else if (arg == "--study") {
      ok = takeOnce("a file name", options.StudyFile);
    } else if (arg == "--vary") {
      ok = takeValue("NAME=FROM:TO:STEP or NAME=V1;V2;...", text) &&
           ParseVary(text, decimalSeparator, options, error);
    } else if (arg == "--reports") {
      ok = takeOnce("a folder", options.ReportsFolder);
    } else if (arg == "-j") {
      ok = once(workersGiven) && takeValue("a number of workers", text) && ParseWorkers(text, options, error);
    } else if (arg.starts_with("-j")) {  // -jN, as make takes it
      ok = once(workersGiven) && ParseWorkers(arg.substr(2), options, error);
    } else if (arg == "--shard") {
      ok = once(options.ShardGiven) && takeValue("K/N", text) && ParseShard(text, options, error);
    } else if (arg == "--find") {
      if (options.Find) {
        error = "option --find given more than once";
        return false;
      }
      ok = takeValue("NAME=LO:HI", text) && ParseFind(text, decimalSeparator, search, error);
      if (ok) options.Find.emplace();
    } else if (arg == "--until") {
      ok = once(untilGiven) && takeValue("a condition, melted, clean or die-reached", text);
      const std::optional<LimitCondition> condition = ParseLimitCondition(text);
      if (ok && !condition) {
        error = "option --until " + Quoted(text) + ": the conditions are melted, clean and die-reached";
        ok = false;
      }
      if (ok) search.Condition = *condition;
      if (!findOption) findOption = "--until";
    } else if (arg == "--bound") {
      ok = once(boundGiven) && takeValue("a temperature profile, Adiabatic, Barrel or BestEstimate", text);
      const std::optional<LimitBound> bound = ParseLimitBound(text);
      if (ok && !bound) {
        error = "option --bound " + Quoted(text) + ": the profiles are Adiabatic, Barrel and BestEstimate";
        ok = false;
      }
      if (ok) search.Bound = *bound;
      if (!findOption) findOption = "--bound";
    } else if (arg == "--smallest") {
      search.Smallest = true;
      if (!findOption) findOption = "--smallest";
    } else if (arg == "--tolerance") {
      ok = takeValue("a width in the searched input's unit", text);
      const std::optional<double> tolerance = ok ? ConvertNumber(text, decimalSeparator) : std::nullopt;
      if (ok && !(tolerance && *tolerance > 0)) {
        error = "option --tolerance " + Quoted(text) + ": the tolerance is a number above 0";
        ok = false;
      }
      if (ok) search.Tolerance = *tolerance;
      if (!findOption) findOption = "--tolerance";
    } else if (arg == "--material") {
      ok = takeOnce("a material's key or file", options.MaterialName);
    } else if (arg == "--list-materials") {
      ok = once(options.ListMaterials);
      materialCommand = "--list-materials";
    } else if (arg == "--show-material") {
      ok = takeOnce("a material's key or file", options.ShowMaterial);
      materialCommand = "--show-material";
    } else if (arg == "--fit-viscosity") {
      ok = takeOnce("a material's key or file, or a file of measured points", options.FitViscosity);
      materialCommand = "--fit-viscosity";
    } else if (arg == "--merge") {
      ok = takeOnce("the merged file's name", options.MergeOutput);
    } else if (arg == "--replace") {
      ok = once(options.ReplaceShard);
    } else {
      error = "unknown option " + arg;
      return false;
    }
    if (!ok) return false;
  }

  if (nextIsFile) {
    error = "option -- needs a file after it";
    return false;
  }
  if (materialCommand) {
    if (optionCount > 1 || !positional.empty()) {
      error = std::string("option ") + materialCommand + " takes no data file and no other option";
      return false;
    }
    return true;
  }
  if (options.ReplaceShard && !options.MergeOutput) {
    error = "option --replace needs --merge OUT.csv";
    return false;
  }
  if (options.MergeOutput) {
    if (othersGiven) {
      error = "option --merge takes only the merged file and the shards' study files";
      return false;
    }
    if (positional.empty()) {
      error = "option --merge needs at least one study file to join";
      return false;
    }
    options.MergeInputs = positional;
    return true;
  }
  if (!positional.empty()) options.DataFile = positional.front();
  // --until and the rest may come before or after --find.
  if (options.Find) options.Find = search;
  if (!CheckFindOptions(options, findOption, untilGiven, error)) return false;
  if (boundGiven && search.Condition != LimitCondition::DieReached) {
    error = "option --bound is for --until die-reached";
    return false;
  }
  if (options.NoReport && options.ResultFileGiven) {
    error = "options -o and --no-report contradict each other";
    return false;
  }
  return CheckStudyOptions(options, workersGiven, error);
}
