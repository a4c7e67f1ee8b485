#pragma once
// Joins the study files of shards (chung-batch --shard K/N) into the one
// file the whole study would have written: the common header, then every
// row in case order. Each shard's file is already in case order, so the
// files are merged line by line, in bounded memory. Only what a shard of
// the same study could have written is joined: the shard line (see
// results/study_shard.h) names the same study in every file, the headers are
// the same, and each row has the header's number of fields, a case number
// written as the study writes it, in order, one of its shard's cases and
// within the study. Lines are at most MaxStudyLineBytes long.

#include <cstdint>
#include <functional>
#include <istream>
#include <string>
#include <vector>

inline constexpr std::size_t MaxStudyLineBytes = 65536;

struct StudyFileInput {
  std::string Name;  // for messages
  std::istream* Stream = nullptr;
};

struct StudyMergeResult {
  std::string Error;  // empty when the files were joined; names the file and line
  bool WriteFailed = false;   // the error is the output's, not an input's
  uint64_t Cases = 0;
  uint64_t Missing = 0;       // the study's case numbers that no file holds
  uint64_t FirstMissing = 0;  // the lowest of them
};

// Writes the merged lines, each with its line end, through `write`, which
// returns false when it could not write.
StudyMergeResult MergeStudyFiles(const std::vector<StudyFileInput>& inputs,
                                 const std::function<bool(const std::string& line)>& write);

// Whether `stream` starts with a shard line: the file is a shard's study file.
bool IsShardFile(std::istream& stream);
