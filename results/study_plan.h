#pragma once
// The cases of a parameter study: each --vary gives one input a list of
// values, and the cases are every combination of them, the last input
// varying fastest. Cases are numbered from 1 in that order.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/run_command.h"

inline constexpr uint64_t MaxStudyCases = 10'000'000;

struct StudyAxis {
  int Input = 0;                   // index in canonical order
  std::vector<double> Values;      // what the study file shows
  std::vector<std::string> Texts;  // the same values as the run reads them
};

struct StudyPlan {
  std::vector<StudyAxis> Axes;  // the first varies slowest
};

// Reads NAME=FROM:TO:STEP (FROM + k x STEP for k = 0, 1, ... up to TO, with a
// tolerance of a millionth of STEP) or NAME=V1,V2,... (with ';' between the
// values where the decimal separator is a comma). Numbers are read as the
// run reads a field. Returns nullopt with `error` saying what is wrong.
std::optional<StudyAxis> ParseStudyAxis(std::string_view argument, char decimalSeparator,
                                         std::string& error);

// The number of cases, or MaxStudyCases + 1 when there are more.
uint64_t StudyCaseCount(const StudyPlan& plan);

// The value index of each axis for case `caseNumber` (1 to the case count).
std::vector<std::size_t> StudyCaseValues(const StudyPlan& plan, uint64_t caseNumber);

// Puts the texts of case `caseNumber` into `texts`.
void ApplyStudyCase(const StudyPlan& plan, uint64_t caseNumber, RunTexts& texts);

// Which cases one of N machines runs: those whose number modulo Count is
// Index - 1 (Index from 1 to Count).
struct StudyShard {
  uint64_t Index = 1;
  uint64_t Count = 1;
};

// How many cases of `total` fall into `shard`, and the number of its j-th
// case (j from 0).
uint64_t ShardCaseCount(uint64_t total, const StudyShard& shard);
uint64_t ShardCaseNumber(const StudyShard& shard, uint64_t j);
