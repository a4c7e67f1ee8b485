#include "cli/batch_options.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

struct ArgumentsCase {
  std::vector<std::string> Args;
  std::optional<std::string> DataFile;
  std::string ResultFile;
};

void PrintTo(const ArgumentsCase& c, std::ostream* os) {
  if (c.Args.empty()) *os << "(no arguments)";
  for (const std::string& arg : c.Args) *os << "[" << arg << "]";
}

class BatchArgumentsAccepted : public ::testing::TestWithParam<ArgumentsCase> {};

TEST_P(BatchArgumentsAccepted, GiveTheDataAndResultFile) {
  BatchOptions options;
  std::string error;
  ASSERT_TRUE(ParseBatchArguments(GetParam().Args, options, error)) << error;
  EXPECT_FALSE(options.ShowHelp);
  EXPECT_EQ(options.DataFile, GetParam().DataFile);
  EXPECT_EQ(options.ResultFile, GetParam().ResultFile);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, BatchArgumentsAccepted,
    ::testing::Values(ArgumentsCase{{}, std::nullopt, "result.txt"},
                      ArgumentsCase{{"case.txt"}, "case.txt", "result.txt"},
                      ArgumentsCase{{"case.txt", "-o", "out.txt"}, "case.txt", "out.txt"},
                      ArgumentsCase{{"-o", "out.txt", "case.txt"}, "case.txt", "out.txt"},
                      ArgumentsCase{{"-o", "-odd name.txt"}, std::nullopt, "-odd name.txt"},
                      ArgumentsCase{{"-o", ""}, std::nullopt, ""},
                      ArgumentsCase{{"--", "-case.txt"}, "-case.txt", "result.txt"},
                      ArgumentsCase{{"-o", "r.txt", "--", "-h"}, "-h", "r.txt"}));

TEST(BatchArguments, HelpWinsWherever) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"-h"}, {"--help"}, {"case.txt", "-o", "r.txt", "--help"}}) {
    BatchOptions options;
    std::string error;
    ASSERT_TRUE(ParseBatchArguments(args, options, error));
    EXPECT_TRUE(options.ShowHelp);
  }
}

TEST(BatchArguments, UsageErrorsNameTheProblem) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"-x"}, "unknown option -x"},
      {{"--output", "r.txt"}, "unknown option --output"},
      {{"-"}, "unknown option -"},
      {{"-o"}, "option -o needs a result file name"},
      {{"case.txt", "-o"}, "option -o needs a result file name"},
      {{"-o", "a.txt", "-o", "b.txt"}, "option -o given more than once"},
      {{"a.txt", "b.txt"}, "only one data file can be given"},
      {{"a.txt", "--", "b.txt"}, "only one data file can be given"},
  };
  for (const auto& [args, message] : cases) {
    BatchOptions options;
    std::string error;
    EXPECT_FALSE(ParseBatchArguments(args, options, error)) << message;
    EXPECT_EQ(error, message);
  }
}

}  // namespace
