// RunCommand on the initial texts perturbed by the input. The first byte
// chooses the unit index (bits 0-1: 0, 1, -1, 2) and the decimal separator
// (bit 2: comma); the rest, split at line feeds, replaces texts 1 to 28 in
// order, where a piece "*" keeps the initial text. What must hold: a
// completed report has 40 + RowCount lines, each ending in CR LF, and no NAN
// or INF; a run on a state used by every earlier input writes the same bytes
// as one on a fresh state; a refused or failed run leaves the previous file as
// it was; no temporary file stays behind.

#include <cstdint>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>

#include "app/run_command.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_folder.h"

namespace {

class CountedMessages : public UserMessages {
 public:
  void ShowMessage(const std::string&) override { ++Count; }
  int Count = 0;
};

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

size_t CrLfLines(const std::string& report) {
  size_t lines = 0;
  for (size_t at = report.find("\r\n"); at != std::string::npos; at = report.find("\r\n", at + 2)) ++lines;
  return lines;
}

const std::string PreviousReport = "the previous report\r\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  constexpr int32_t UnitIndexes[] = {0, 1, -1, 2};
  const int32_t unitIndex = UnitIndexes[data[0] & 3];
  const char separator = (data[0] & 4) != 0 ? ',' : '.';

  RunTexts texts = InitialRunTexts();
  std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  for (int k = 0; k < InputCount && !rest.empty(); ++k) {
    const size_t end = rest.find('\n');
    const std::string_view piece = rest.substr(0, end);
    if (piece != "*") texts[k] = std::string(piece);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  }
  const std::filesystem::path report = FuzzFolder() / "result.txt";
  texts[InputCount] = report.string();
  WriteAll(report, PreviousReport);

  // One state for the whole fuzzing session: every earlier input has used it.
  static const auto used = std::make_unique<ModelState>();
  CountedMessages messages;
  const RunOutcome outcome = RunCommand(*used, texts, unitIndex, messages, separator);
  FUZZ_CHECK(messages.Count == 0, "a writer could not open the report");
  FUZZ_CHECK(FuzzFolderEntries() == 1, "a temporary file was left behind");

  const std::string written = ReadAll(report);
  if (outcome.Result != RunResult::Completed) {
    FUZZ_CHECK(!outcome.Message.empty(), "a refused or failed run without a message");
    FUZZ_CHECK(written == PreviousReport, "a refused or failed run changed the result file");
    return 0;
  }
  const int32_t rows = used->Profile.RowCount < 0 ? 0 : used->Profile.RowCount;
  FUZZ_CHECK(rows <= MaxGridPoints, "more rows than grid points");
  FUZZ_CHECK(CrLfLines(written) == 40u + static_cast<size_t>(rows), "the report does not have 40 + RowCount lines");
  FUZZ_CHECK(written.size() >= 2 && written.ends_with("\r\n"), "the report does not end with CR LF");
  FUZZ_CHECK(written.find("NAN") == std::string::npos, "the report holds NAN");
  FUZZ_CHECK(written.find("INF") == std::string::npos, "the report holds INF");

  const auto fresh = std::make_unique<ModelState>();
  const RunOutcome again = RunCommand(*fresh, texts, unitIndex, messages, separator);
  FUZZ_CHECK(again.Result == RunResult::Completed, "the same texts failed on a fresh state");
  FUZZ_CHECK(ReadAll(report) == written, "a used state wrote other bytes than a fresh one");
  return 0;
}
