#pragma once
// A temporary working directory for batch runs: the result file is resolved
// against the current directory, so each test runs inside its own; and a
// batch run with its streams caught.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "cli/batch_run.h"

class BatchTempDir : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = std::filesystem::current_path();
    std::random_device random;
    dir_ = std::filesystem::temp_directory_path() / ("chung_batch_test_" + std::to_string(random()));
    std::filesystem::create_directories(dir_);
    std::filesystem::current_path(dir_);
  }
  void TearDown() override {
    std::filesystem::current_path(previous_);
    std::filesystem::remove_all(dir_);
  }

  static void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
  }
  static std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }

  std::filesystem::path previous_;
  std::filesystem::path dir_;
};

// One chung-batch command line run in this process, its streams captured.
struct BatchResult {
  int Code;
  std::string Out;
  std::string Err;
};

inline BatchResult Batch(const std::vector<std::string>& args, char decimalSeparator = '.') {
  std::ostringstream out, err;
  const int code = RunBatch(args, out, err, decimalSeparator);
  return {code, out.str(), err.str()};
}

// The fields of one CSV line, quotes removed.
inline std::vector<std::string> CsvFields(const std::string& line) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '"' && quoted && i + 1 < line.size() && line[i + 1] == '"') {
      fields.back() += '"';
      ++i;
    } else if (c == '"') {
      quoted = !quoted;
    } else if (c == ',' && !quoted) {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  return fields;
}
