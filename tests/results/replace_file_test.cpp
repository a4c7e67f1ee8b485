#include "report/replace_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace fs = std::filesystem;

namespace {

class ReplaceFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("chung-replace-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  static std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  static void Write(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
  }
  int EntriesInFolder() const {
    return static_cast<int>(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
  }

  fs::path dir_;
};

TEST_F(ReplaceFileTest, ReplacesWholeKeepingModeAndFollowingLinks) {
  const fs::path file = dir_ / "report.txt";
  Write(file, "old contents that are longer than the new ones");
  ::chmod(file.c_str(), 0640);
  const fs::path link = dir_ / "link.txt";
  fs::create_symlink("report.txt", link);

  EXPECT_EQ(ReplaceFileContents(link.string(), "new"), "");
  EXPECT_EQ(Read(file), "new");
  EXPECT_TRUE(fs::is_symlink(link));
  struct stat info {};
  ASSERT_EQ(::stat(file.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(EntriesInFolder(), 2);  // no temporary file left
}

TEST_F(ReplaceFileTest, TargetsThatCanNotBeWrittenLeaveNothingBehind) {
  fs::create_directories(dir_ / "folder");
  std::string withNul = (dir_ / "nul").string();
  withNul.push_back('\0');
  withNul += "x";
  const std::vector<std::string> targets = {(dir_ / "missing" / "r.txt").string(), (dir_ / "folder").string(),
                                            (dir_ / std::string(300, 'x')).string(), withNul};
  for (const std::string& target : targets) {
    ReplacementFile file;
    EXPECT_FALSE(file.Open(target)) << target;
    EXPECT_FALSE(file.Error().empty());
    EXPECT_NE(ReplaceFileContents(target, "text"), "");
  }
  EXPECT_EQ(EntriesInFolder(), 1);
}

TEST_F(ReplaceFileTest, AnAbandonedReplacementLeavesTheOldFile) {
  const fs::path file = dir_ / "report.txt";
  Write(file, "previous report");
  {
    ReplacementFile replacement;
    ASSERT_TRUE(replacement.Open(file.string()));
    std::fputs("half a rep", replacement.Stream());
    EXPECT_TRUE(fs::exists(replacement.TemporaryPath()));
  }  // destroyed without Commit, as when a write fails
  EXPECT_EQ(Read(file), "previous report");
  EXPECT_EQ(EntriesInFolder(), 1);
}

// A device can not be renamed over: it is written in place and stays a device.
TEST_F(ReplaceFileTest, DevicesAreWrittenInPlace) {
  EXPECT_EQ(ReplaceFileContents("/dev/null", "text"), "");
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
  const std::string full = ReplaceFileContents("/dev/full", std::string(100000, 'x'));
  EXPECT_NE(full.find("No space left on device"), std::string::npos) << full;
  EXPECT_TRUE(fs::is_character_file("/dev/full"));
}

}  // namespace
