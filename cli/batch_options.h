#pragma once
// The batch tool's command line: chung-batch [DATAFILE] [-o RESULT] and the
// options for exports, inputs by name, studies and merging study files.

#include <optional>
#include <string>
#include <vector>

#include "results/limit_find.h"
#include "results/study_plan.h"

// --set NAME=VALUE: the text that replaces input `Input`'s text (a named
// input: 28 and above are the melt-conveying stage's, in MeltTexts order).
struct InputSetting {
  int Input = 0;
  std::string Text;
};

struct BatchOptions {
  bool ShowHelp = false;
  bool ShowVersion = false;
  std::optional<std::string> DataFile;  // as typed; absent runs the initial texts
  std::string ResultFile;               // the result file name handed to the run
  bool ResultFileGiven = false;
  bool NoReport = false;
  bool Strict = false;                  // warnings make the exit status 4
  std::optional<std::string> CsvFile;
  std::optional<std::string> JsonFile;
  std::vector<InputSetting> Settings;   // in command line order, after the data file

  // The melt-conveying stage after a completed run (--melt, or any stage
  // input set or varied); --operating-point also searches the operating point.
  bool Melt = false;
  bool OperatingPoint = false;
  std::optional<std::string> MeltCsvFile;
  bool MeltStageOn() const;

  // A study: --study FILE with its --vary axes.
  std::optional<std::string> StudyFile;
  StudyPlan Plan;
  std::optional<std::string> ReportsFolder;
  unsigned Workers = 0;                 // 0: one per core
  StudyShard Shard;
  bool ShardGiven = false;              // the study file then starts with its shard line

  // A limit search: --find NAME=LO:HI --until CONDITION [--smallest]
  // [--tolerance X]; with --study, one search per case.
  std::optional<LimitSearch> Find;

  // --material NAME|FILE sets the eleven material inputs after the data
  // file, before --set; the record found goes into the run's RunSetup.
  std::optional<std::string> MaterialName;
  // Commands of their own: --list-materials, --show-material NAME,
  // --fit-viscosity SOURCE.
  bool ListMaterials = false;
  std::optional<std::string> ShowMaterial;
  std::optional<std::string> FitViscosity;

  // chung-batch --merge OUT SHARD...
  std::optional<std::string> MergeOutput;
  std::vector<std::string> MergeInputs;
  bool ReplaceShard = false;            // --replace: OUT may be an existing shard's file
};

extern const char* const BatchUsage;
extern const char* const BatchHelp;

// args: the arguments after the program name. decimalSeparator: the one the
// run reads numbers with, for the values of --vary. Returns false with
// `error` set when the command line does not fit the usage.
bool ParseBatchArguments(const std::vector<std::string>& args, BatchOptions& options,
                         std::string& error, char decimalSeparator = '.');
