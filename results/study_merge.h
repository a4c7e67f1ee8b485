#pragma once
// Joins the study files of shards (chung-batch --shard K/N) into the one
// file the whole study would have written: the common header, then every
// row in case order. Each shard's file is already in case order, so the
// files are merged line by line, in bounded memory.

#include <cstdint>
#include <functional>
#include <istream>
#include <string>
#include <vector>

struct StudyFileInput {
  std::string Name;  // for messages
  std::istream* Stream = nullptr;
};

struct StudyMergeResult {
  std::string Error;  // empty when the files were joined
  bool WriteFailed = false;   // the error is the output's, not an input's
  uint64_t Cases = 0;
  uint64_t Missing = 0;       // case numbers below the highest that no file holds
  uint64_t FirstMissing = 0;  // the lowest of them
};

// Writes the merged lines, each with its line end, through `write`, which
// returns false when it could not write.
StudyMergeResult MergeStudyFiles(const std::vector<StudyFileInput>& inputs,
                                 const std::function<bool(const std::string& line)>& write);
