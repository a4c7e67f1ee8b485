#include "results/study_merge.h"

#include <charconv>
#include <queue>

namespace {

// The case number that starts a row, or 0 when the row has none.
uint64_t CaseNumber(const std::string& line) {
  uint64_t number = 0;
  const char* end = line.data() + line.size();
  const std::from_chars_result read = std::from_chars(line.data(), end, number);
  return read.ec == std::errc() && read.ptr != end && *read.ptr == ',' ? number : 0;
}

// One shard file and its next row.
struct Shard {
  const StudyFileInput* Input;
  std::string Line;
  uint64_t Case = 0;
  uint64_t LineNumber = 1;
};

// Reads the shard's next row; false at its end or, with `error` set, when
// the row is not one of a study file in case order.
bool NextRow(Shard& shard, std::string& error) {
  if (!std::getline(*shard.Input->Stream, shard.Line)) {
    if (shard.Input->Stream->bad()) error = shard.Input->Name + " could not be read";
    return false;
  }
  ++shard.LineNumber;
  const uint64_t number = CaseNumber(shard.Line);
  if (number == 0 || number <= shard.Case || shard.Input->Stream->eof()) {
    error = shard.Input->Name + " line " + std::to_string(shard.LineNumber) +
            (number == 0 || shard.Input->Stream->eof() ? " is not a complete study row"
                                                       : " is out of case order");
    return false;
  }
  shard.Case = number;
  return true;
}

}  // namespace

StudyMergeResult MergeStudyFiles(const std::vector<StudyFileInput>& inputs,
                                 const std::function<bool(const std::string& line)>& write) {
  StudyMergeResult result;
  std::vector<Shard> shards;
  std::string header;
  for (const StudyFileInput& input : inputs) {
    Shard shard{&input, {}};
    if (!std::getline(*input.Stream, shard.Line) || !shard.Line.starts_with("case,") || input.Stream->eof()) {
      result.Error = input.Name + " is not a study file";
      return result;
    }
    if (header.empty()) {
      header = shard.Line;
    } else if (shard.Line != header) {
      result.Error = input.Name + " has other columns than " + inputs.front().Name;
      return result;
    }
    shards.push_back(std::move(shard));
  }
  if (!write(header + '\n')) {
    result.Error = "the merged file could not be written";
    result.WriteFailed = true;
    return result;
  }

  // The shards whose next row has the lowest case number come first.
  auto later = [&](std::size_t a, std::size_t b) { return shards[a].Case > shards[b].Case; };
  std::priority_queue<std::size_t, std::vector<std::size_t>, decltype(later)> next(later);
  for (std::size_t s = 0; s < shards.size(); ++s) {
    if (NextRow(shards[s], result.Error)) next.push(s);
    if (!result.Error.empty()) return result;
  }
  uint64_t expected = 1;
  uint64_t previous = 0;
  const std::string* previousName = nullptr;
  while (!next.empty()) {
    Shard& shard = shards[next.top()];
    next.pop();
    if (shard.Case == previous) {
      result.Error = "case " + std::to_string(shard.Case) + " is in both " + *previousName + " and " +
                     shard.Input->Name;
      return result;
    }
    if (shard.Case > expected && result.Missing == 0) result.FirstMissing = expected;
    result.Missing += shard.Case - expected;
    expected = shard.Case + 1;
    previous = shard.Case;
    previousName = &shard.Input->Name;
    if (!write(shard.Line + '\n')) {
      result.Error = "the merged file could not be written";
      result.WriteFailed = true;
      return result;
    }
    ++result.Cases;
    if (NextRow(shard, result.Error)) next.push(&shard - shards.data());
    if (!result.Error.empty()) return result;
  }
  return result;
}
