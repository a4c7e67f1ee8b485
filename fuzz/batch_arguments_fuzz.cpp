// chung-batch's arguments: the input, split at NUL bytes, is the argument
// list of RunBatch, run in a private folder that holds a good data file
// (data.txt) and a short one (short.txt). Arguments with a slash are skipped,
// so that nothing outside the folder is read or written. What must hold: the
// exit status is one the tool documents, every message is a whole line, a
// status of 0 after a run comes with a complete report, and no temporary file
// stays behind. Study ranges are skipped and lists kept short, so that no
// input asks for more than a few thousand cases. The harness moves into its folder,
// so libFuzzer must be given absolute corpus paths, as scripts/fuzz does.

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/batch_run.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_folder.h"
#include "model/input_fields.h"

namespace fs = std::filesystem;

namespace {

std::string DataText(int lines) {
  std::string text;
  for (int line = 1; line <= lines; ++line) {
    const std::string value = line <= InputCount ? InputFields[line - 1].InitialText : "1";
    text += "Line " + std::to_string(line) + " = " + value + "\r\n";
  }
  return text;
}

// The two data files as they were, and nothing else.
void ResetFolder() {
  for (const fs::directory_entry& entry : fs::directory_iterator(FuzzFolder())) fs::remove_all(entry.path());
  std::ofstream(FuzzFolder() / "data.txt", std::ios::binary) << DataText(29);
  std::ofstream(FuzzFolder() / "short.txt", std::ios::binary) << DataText(28);
}

bool WholeLines(const std::string& text) { return text.empty() || text.back() == '\n'; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> args;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  if (!bytes.empty()) {
    std::istringstream pieces(bytes);
    for (std::string arg; std::getline(pieces, arg, '\0');) args.push_back(arg);
  }
  if (args.size() > 8) return 0;
  std::size_t listCommas = 0;
  for (const std::string& arg : args) {
    if (arg.find('/') != std::string::npos || (arg.find('=') != std::string::npos && arg.find(':') != std::string::npos)) return 0;
    listCommas += std::count(arg.begin(), arg.end(), ',');
  }
  if (listCommas > 30) return 0;

  static const bool entered = [] {
    fs::current_path(FuzzFolder());  // relative names stay in the folder
    return true;
  }();
  (void)entered;
  ResetFolder();

  std::ostringstream out, err;
  const int status = RunBatch(args, out, err, '.');
  FUZZ_CHECK(status == BatchExitCompleted || status == BatchExitRejected || status == BatchExitFailed ||
                 status == BatchExitDataFileRefused || status == BatchExitUsage || status == BatchExitWarnings,
             "an undocumented exit status");
  FUZZ_CHECK(WholeLines(out.str()) && WholeLines(err.str()), "a message is not a whole line");
  for (const fs::directory_entry& entry : fs::directory_iterator(FuzzFolder())) {
    // A result file may be given a temporary file's name; any other such name is left over.
    const std::string name = entry.path().filename().string();
    const bool named = std::find(args.begin(), args.end(), name) != args.end();
    FUZZ_CHECK(named || !(name.starts_with(".chung-") && name.ends_with(".tmp")), "a temporary file was left behind");
  }
  if (status == BatchExitCompleted && out.str().starts_with("Report written to ")) {
    // Only the run summary's warnings may accompany a written report.
    std::istringstream lines(err.str());
    for (std::string line; std::getline(lines, line);) {
      FUZZ_CHECK(line.starts_with("warning: "), "a written report with a complaint");
    }
  }
  return 0;
}
