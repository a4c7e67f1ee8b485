// SPDX-License-Identifier: GPL-3.0-or-later
// chung-batch --merge over a mutated shard: the input is the second shard's
// file of a four-case study whose first shard is whole, merged into out.csv.
// What must hold: the exit status is 0 (merged), 3 (a shard refused) or 2;
// out.csv exists exactly when the merge succeeded, then with the header and
// at most four rows and no field that is not a finite number where a
// figure belongs; every message is a whole line and no temporary file stays.

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/batch_run.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_folder.h"

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// The first shard's file, made once by the tool itself.
const std::string& FirstShard() {
  static const std::string text = [] {
    std::ostringstream out, err;
    RunBatch({"--study", "made.csv", "--vary", "ScrewSpeed=30,40", "--vary", "OutputRate=200,300", "--shard", "1/2",
              "-j", "1"},
             out, err, '.');
    std::string made = ReadAll(FuzzFolder() / "made.csv");
    fs::remove(FuzzFolder() / "made.csv");
    return made;
  }();
  return text;
}

bool WholeLines(const std::string& text) { return text.empty() || text.back() == '\n'; }

// A field that reads as a number but not a finite one, as a whole field.
bool NonFiniteField(std::string field) {
  if (!field.empty() && (field.front() == '+' || field.front() == '-')) field.erase(0, 1);
  for (char& c : field) c = static_cast<char>(c | 0x20);
  return field == "nan" || field == "inf" || field == "infinity";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool entered = [] {
    fs::current_path(FuzzFolder());
    return true;
  }();
  (void)entered;
  for (const fs::directory_entry& entry : fs::directory_iterator(FuzzFolder())) fs::remove_all(entry.path());
  std::ofstream(FuzzFolder() / "s1.csv", std::ios::binary) << FirstShard();
  std::ofstream(FuzzFolder() / "s2.csv", std::ios::binary).write(reinterpret_cast<const char*>(data), size);

  std::ostringstream out, err;
  const int status = RunBatch({"--merge", "out.csv", "s1.csv", "s2.csv"}, out, err, '.');
  FUZZ_CHECK(status == BatchExitCompleted || status == BatchExitDataFileRefused || status == BatchExitFailed,
             "an undocumented exit status");
  FUZZ_CHECK(WholeLines(out.str()) && WholeLines(err.str()), "a message is not a whole line");
  FUZZ_CHECK(fs::exists(FuzzFolder() / "out.csv") == (status == BatchExitCompleted), "out.csv without a merge");
  for (const fs::directory_entry& entry : fs::directory_iterator(FuzzFolder())) {
    const std::string name = entry.path().filename().string();
    FUZZ_CHECK(!(name.starts_with(".chung-") && name.ends_with(".tmp")), "a temporary file was left behind");
  }
  if (status == BatchExitCompleted) {
    std::istringstream lines(ReadAll(FuzzFolder() / "out.csv"));
    std::string line;
    int count = 0;
    for (; std::getline(lines, line);) {
      ++count;
      if (line.find('"') != std::string::npos) continue;  // a quoted message may hold anything
      std::istringstream fields(line);
      for (std::string field; std::getline(fields, field, ',');) {
        FUZZ_CHECK(!NonFiniteField(field), "a merged field that is no finite number");
      }
    }
    // Missing cases are merged with a warning (a shard cut at a row's end).
    FUZZ_CHECK(count >= 1 && count <= 5, "a merged file without its header, or with more than four rows");
  }
  return 0;
}
