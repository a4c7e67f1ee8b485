#include "results/study_shard.h"

#include <charconv>
#include <cstdio>

#include "app/program_version.h"
#include "materials/material.h"
#include "results/number_text.h"

namespace {

constexpr std::string_view Lead = "# chung-batch shard ";

// FNV-1a over length-prefixed parts, so that no two different lists of
// parts run together into the same bytes.
class Fingerprint {
 public:
  void Add(std::string_view part) {
    AddBytes(std::to_string(part.size()) + ":");
    AddBytes(part);
  }
  std::string Hex() const {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash_));
    return text;
  }

 private:
  void AddBytes(std::string_view bytes) {
    for (unsigned char byte : bytes) {
      hash_ ^= byte;
      hash_ *= 0x100000001b3ULL;
    }
  }
  uint64_t hash_ = 0xcbf29ce484222325ULL;
};

// Reads a canonical whole number (no sign, no leading zero) at the front of
// `text` and drops it from there.
bool TakeNumber(std::string_view& text, uint64_t& number) {
  if (text.empty() || text.front() == '0') return false;
  const std::from_chars_result read = std::from_chars(text.data(), text.data() + text.size(), number);
  if (read.ec != std::errc()) return false;
  text.remove_prefix(static_cast<std::size_t>(read.ptr - text.data()));
  return true;
}

bool TakeText(std::string_view& text, std::string_view expected) {
  if (!text.starts_with(expected)) return false;
  text.remove_prefix(expected.size());
  return true;
}

}  // namespace

std::string StudyFingerprint(const StudyPlan& plan, const StudySettings& settings, const LimitSearch* search) {
  Fingerprint fingerprint;
  fingerprint.Add(ProgramVersion);
  const RunSetup& base = settings.Base;
  fingerprint.Add(std::to_string(base.UnitIndex));
  fingerprint.Add(std::string(1, base.DecimalSeparator));
  for (int k = 0; k < InputCount; ++k) fingerprint.Add(base.Texts[k]);
  // A material's record decides its cases' warnings beyond the texts it set.
  if (base.Material) fingerprint.Add(MaterialJson(*base.Material));
  if (base.MeltStage) {
    fingerprint.Add(settings.OperatingPoint ? "melt stage, operating point" : "melt stage");
    for (const std::string& text : base.Melt) fingerprint.Add(text);
  }
  // A study with the melt-conveying stage has other columns and other cases.
  if (base.MeltStage) {
    fingerprint.Add(settings.OperatingPoint ? "melt, operating point" : "melt");
    for (const std::string& text : base.Melt) fingerprint.Add(text);
  }
  for (const StudyAxis& axis : plan.Axes) {
    fingerprint.Add(std::to_string(axis.Input));
    fingerprint.Add(std::to_string(axis.Count));
    if (axis.IsRange) {
      fingerprint.Add(RoundTripText(axis.From));
      fingerprint.Add(RoundTripText(axis.Step));
    } else {
      for (const std::string& text : axis.Texts) fingerprint.Add(text);
    }
    for (const Material& material : axis.Materials) fingerprint.Add(MaterialJson(material));
  }
  if (search != nullptr) {
    fingerprint.Add("find");
    fingerprint.Add(std::to_string(search->Input));
    fingerprint.Add(RoundTripText(search->Low));
    fingerprint.Add(RoundTripText(search->High));
    fingerprint.Add(std::to_string(static_cast<int>(search->Condition)));
    fingerprint.Add(search->Smallest ? "smallest" : "largest");
    fingerprint.Add(RoundTripText(search->Tolerance));
    // The die decides where die-reached holds.
    if (search->Condition == LimitCondition::DieReached) {
      fingerprint.Add(LimitBoundName(search->Bound));
      for (const std::string& text : search->DieTexts) fingerprint.Add(text);
    }
  }
  return fingerprint.Hex();
}

std::string ShardLineText(const StudyShardLine& line) {
  return std::string(Lead) + std::to_string(line.Shard.Index) + "/" + std::to_string(line.Shard.Count) +
         " of study " + line.Study + ", " + std::to_string(line.Cases) + " cases\n";
}

std::optional<StudyShardLine> ParseShardLine(std::string_view text) {
  StudyShardLine line;
  if (!TakeText(text, Lead) || !TakeNumber(text, line.Shard.Index) || !TakeText(text, "/") ||
      !TakeNumber(text, line.Shard.Count) || line.Shard.Index > line.Shard.Count || !TakeText(text, " of study ") ||
      text.size() < 16) {
    return std::nullopt;
  }
  line.Study = std::string(text.substr(0, 16));
  for (char c : line.Study) {
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return std::nullopt;
  }
  text.remove_prefix(16);
  if (!TakeText(text, ", ") || !TakeNumber(text, line.Cases) || text != " cases") return std::nullopt;
  return line;
}
