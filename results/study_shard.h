#pragma once
// What makes a shard's study file recognisable. A study run with --shard K/N
// writes one line before the header:
//   # chung-batch shard K/N of study 0123456789abcdef, C cases
// naming its place, the study it belongs to and how many cases the whole
// study has. The study is a fingerprint of everything that decides the
// rows: the program version, the plan, the texts every case starts from (the
// melt stage's too), the unit, the decimal separator and the materials'
// records. A merge joins only
// shards of one study and knows how many cases there should be; the merged
// file, like a study run without --shard, has no such line.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "results/limit_find.h"
#include "results/study_plan.h"
#include "results/study_run.h"

struct StudyShardLine {
  StudyShard Shard;
  std::string Study;  // 16 hexadecimal digits
  uint64_t Cases = 0; // the whole study's
};

// The fingerprint of the study that `plan` and `settings` run, with the
// limit search of each case where there is one (the shard and the workers
// are not part of it).
std::string StudyFingerprint(const StudyPlan& plan, const StudySettings& settings,
                             const LimitSearch* search = nullptr);

// The line with its line end.
std::string ShardLineText(const StudyShardLine& line);

// The line read back, exactly as ShardLineText writes it (without the line
// end); nullopt for anything else.
std::optional<StudyShardLine> ParseShardLine(std::string_view text);
