#include "results/study_merge.h"

#include <charconv>
#include <optional>
#include <queue>
#include <string_view>

#include "results/study_shard.h"

namespace {

enum class LineRead { Line, Unterminated, TooLong, End, Failed };

// The next line without its line end, read no further than `limit` bytes so
// that one huge line costs no more memory than a normal one.
LineRead ReadLine(std::istream& stream, std::string& line, std::size_t limit) {
  line.clear();
  std::streambuf* buffer = stream.rdbuf();
  if (buffer == nullptr) return LineRead::Failed;
  while (true) {
    int c = 0;
    try {
      c = buffer->sbumpc();
    } catch (const std::exception&) {
      return LineRead::Failed;  // a folder, or a read error the stream throws for
    }
    if (c == std::char_traits<char>::eof()) {
      stream.setstate(std::ios::eofbit);
      return line.empty() ? LineRead::End : LineRead::Unterminated;
    }
    if (c == '\n') return LineRead::Line;
    if (line.size() == limit) return LineRead::TooLong;
    line += static_cast<char>(c);
  }
}

// The number of CSV fields in a line, quotes respected; nullopt when a quote
// is left open or a quoted field runs into other text.
std::optional<std::size_t> FieldCount(const std::string& line) {
  std::size_t fields = 1;
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c != '"') continue;
      if (i + 1 < line.size() && line[i + 1] == '"') {
        ++i;
      } else {
        quoted = false;
        if (i + 1 < line.size() && line[i + 1] != ',') return std::nullopt;
      }
    } else if (c == ',') {
      ++fields;
    } else if (c == '"') {
      if (i != 0 && line[i - 1] != ',') return std::nullopt;
      quoted = true;
    }
  }
  if (quoted) return std::nullopt;
  return fields;
}

// Whether an unquoted field reads as a number that is not finite ("nan",
// "-inf", "Infinity" in any case): no study writes one, so an edit made it.
bool NonFiniteField(std::string_view field) {
  if (!field.empty() && (field.front() == '+' || field.front() == '-')) field.remove_prefix(1);
  auto same = [&](std::string_view word) {
    if (field.size() != word.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
      if ((field[i] | 0x20) != word[i]) return false;
    }
    return true;
  };
  return same("nan") || same("inf") || same("infinity");
}

// The first unquoted field of the line that is no finite number, if any.
std::optional<std::string> FirstNonFiniteField(const std::string& line) {
  std::size_t start = 0;
  while (start <= line.size()) {
    if (start < line.size() && line[start] == '"') {
      // A quoted field is text (a message); skip to its closing quote.
      std::size_t close = start + 1;
      while (close < line.size() && !(line[close] == '"' && (close + 1 == line.size() || line[close + 1] != '"'))) {
        close += line[close] == '"' ? 2 : 1;
      }
      start = line.find(',', close);
      if (start == std::string::npos) break;
      ++start;
      continue;
    }
    std::size_t end = line.find(',', start);
    if (end == std::string::npos) end = line.size();
    const std::string_view field(line.data() + start, end - start);
    if (NonFiniteField(field)) return std::string(field);
    start = end + 1;
  }
  return std::nullopt;
}

// The case number that starts a row, written as a study writes it: digits
// without a leading zero, then a comma.
std::optional<uint64_t> CaseNumber(const std::string& line) {
  uint64_t number = 0;
  const char* end = line.data() + line.size();
  if (line.empty() || line.front() == '0') return std::nullopt;
  const std::from_chars_result read = std::from_chars(line.data(), end, number);
  if (read.ec != std::errc() || read.ptr == end || *read.ptr != ',') return std::nullopt;
  return number;
}

// One shard file and its next row.
struct Shard {
  const StudyFileInput* Input = nullptr;
  StudyShardLine Identity;
  std::size_t Fields = 0;  // the header's
  std::string Line;
  uint64_t Case = 0;
  uint64_t LineNumber = 0;
};

std::string Where(const Shard& shard) {
  return shard.Input->Name + " line " + std::to_string(shard.LineNumber) + ": ";
}

// Reads one line of the shard; false with `error` set when there is none or
// it is not a whole line of a study file.
bool ReadShardLine(Shard& shard, std::string& error, bool& atEnd) {
  ++shard.LineNumber;
  atEnd = false;
  switch (ReadLine(*shard.Input->Stream, shard.Line, MaxStudyLineBytes)) {
    case LineRead::Line:
      break;
    case LineRead::End:
      atEnd = true;
      return false;
    case LineRead::Unterminated:
      error = Where(shard) + "the line has no line end; the file was cut short";
      return false;
    case LineRead::TooLong:
      error = Where(shard) + "the line is longer than " + std::to_string(MaxStudyLineBytes) + " bytes";
      return false;
    case LineRead::Failed:
      error = shard.Input->Name + " could not be read";
      return false;
  }
  if (shard.Line.find('\0') != std::string::npos) {
    error = Where(shard) + "the line holds a NUL byte";
    return false;
  }
  if (shard.Line.find('\r') != std::string::npos) {
    error = Where(shard) + "the line holds a carriage return; study files end lines with LF only";
    return false;
  }
  return true;
}

// Reads the shard's next row; false at its end or, with `error` set, when
// the row is not one the shard's study could have written in this place.
bool NextRow(Shard& shard, std::string& error) {
  bool atEnd = false;
  if (!ReadShardLine(shard, error, atEnd)) return false;
  const std::optional<std::size_t> fields = FieldCount(shard.Line);
  if (fields != shard.Fields) {
    error = Where(shard) + (fields ? "the row has " + std::to_string(*fields) + " fields, the header " +
                                         std::to_string(shard.Fields)
                                   : std::string("a quoted field is not closed"));
    return false;
  }
  const std::optional<uint64_t> number = CaseNumber(shard.Line);
  const StudyShard& place = shard.Identity.Shard;
  if (const std::optional<std::string> field = FirstNonFiniteField(shard.Line)) {
    error = Where(shard) + "the field " + *field + " is not a finite number; no study writes one";
  } else if (!number) {
    error = Where(shard) + "the row does not start with a case number (1, 2, ... without leading zeros)";
  } else if (*number > shard.Identity.Cases) {
    error = Where(shard) + "case " + std::to_string(*number) + " is beyond the study's " +
            std::to_string(shard.Identity.Cases) + " cases";
  } else if (*number % place.Count != place.Index - 1) {
    error = Where(shard) + "case " + std::to_string(*number) + " is not one of shard " +
            std::to_string(place.Index) + "/" + std::to_string(place.Count) + "'s cases";
  } else if (*number <= shard.Case) {
    error = Where(shard) + "case " + std::to_string(*number) + " is out of case order";
  } else {
    shard.Case = *number;
    return true;
  }
  return false;
}

// The shard line and the header; false with `error` set when the file is not
// a shard of the same study as `first` (when there is a first).
bool ReadShardStart(Shard& shard, const Shard* first, std::string& error) {
  bool atEnd = false;
  if (!ReadShardLine(shard, error, atEnd)) {
    if (atEnd) error = Where(shard) + "the file is empty, not a shard's study file";
    return false;
  }
  const std::optional<StudyShardLine> identity = ParseShardLine(shard.Line);
  if (!identity) {
    error = Where(shard) + "not a shard's study file: it does not start with the line that --shard K/N writes";
    return false;
  }
  shard.Identity = *identity;
  if (first != nullptr && (identity->Study != first->Identity.Study || identity->Cases != first->Identity.Cases)) {
    error = Where(shard) + "a shard of another study than " + first->Input->Name;
    return false;
  }
  if (!ReadShardLine(shard, error, atEnd)) {
    if (atEnd) error = Where(shard) + "the header is missing";
    return false;
  }
  const std::optional<std::size_t> fields = FieldCount(shard.Line);
  if (!shard.Line.starts_with("case,") || !fields) {
    error = Where(shard) + "not the header of a study file";
    return false;
  }
  if (first != nullptr && shard.Line != first->Line) {
    error = Where(shard) + "other columns than " + first->Input->Name;
    return false;
  }
  shard.Fields = *fields;
  return true;
}

}  // namespace

bool IsShardFile(std::istream& stream) {
  std::string line;
  return ReadLine(stream, line, MaxStudyLineBytes) == LineRead::Line && ParseShardLine(line).has_value();
}

StudyMergeResult MergeStudyFiles(const std::vector<StudyFileInput>& inputs,
                                 const std::function<bool(const std::string& line)>& write) {
  StudyMergeResult result;
  std::vector<Shard> shards(inputs.size());
  for (std::size_t s = 0; s < inputs.size(); ++s) {
    shards[s].Input = &inputs[s];
    if (!ReadShardStart(shards[s], s == 0 ? nullptr : &shards[0], result.Error)) return result;
  }
  if (shards.empty()) return result;
  const uint64_t cases = shards.front().Identity.Cases;
  if (!write(shards.front().Line + '\n')) {
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
  // Where the last row written came from, for a case that two files hold.
  uint64_t previousCase = 0, previousLine = 0;
  const std::string* previousName = nullptr;
  auto countMissing = [&](uint64_t upTo) {
    if (upTo > expected && result.Missing == 0) result.FirstMissing = expected;
    result.Missing += upTo - expected;
  };
  while (!next.empty()) {
    Shard& shard = shards[next.top()];
    next.pop();
    if (shard.Case == previousCase) {
      result.Error = Where(shard) + "case " + std::to_string(shard.Case) + " is also in " + *previousName +
                     " line " + std::to_string(previousLine);
      return result;
    }
    countMissing(shard.Case);
    expected = shard.Case + 1;
    if (!write(shard.Line + '\n')) {
      result.Error = "the merged file could not be written";
      result.WriteFailed = true;
      return result;
    }
    ++result.Cases;
    previousCase = shard.Case;
    previousLine = shard.LineNumber;
    previousName = &shard.Input->Name;
    if (NextRow(shard, result.Error)) next.push(static_cast<std::size_t>(&shard - shards.data()));
    if (!result.Error.empty()) return result;
  }
  countMissing(cases + 1);
  return result;
}
