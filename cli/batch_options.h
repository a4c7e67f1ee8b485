#pragma once
// The batch tool's command line: chung-batch [DATAFILE] [-o RESULT].

#include <optional>
#include <string>
#include <vector>

struct BatchOptions {
  bool ShowHelp = false;
  bool ShowVersion = false;
  std::optional<std::string> DataFile;  // as typed; absent runs the initial texts
  std::string ResultFile;               // the result file name handed to the run
};

extern const char* const BatchUsage;
extern const char* const BatchHelp;

// args: the arguments after the program name. Returns false with `error` set
// when the command line does not fit the usage.
bool ParseBatchArguments(const std::vector<std::string>& args, BatchOptions& options,
                         std::string& error);
