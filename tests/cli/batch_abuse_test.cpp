// chung-batch used carelessly or with hostile input: huge plans, outputs over
// inputs, malformed shards, full disks, closed pipes, signals and links
// planted in shared folders. Each must end in a refusal with a message and
// an exit status, never in a crash, a hang or a file half written.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <cstdlib>
#include <functional>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "batch_test_support.h"
#include "cli/batch_options.h"
#include "cli/batch_run.h"

namespace fs = std::filesystem;

namespace {

using BatchAbuse = BatchTempDir;

struct ChildEnd {
  int Status = -1;        // the exit status, -1 when a signal ended it
  long MaxResidentKb = 0; // the child's peak memory
};

// Runs the built chung-batch with `args`, stderr to err.txt and stdout to
// out.txt unless `prepare` (run in the child before the program starts)
// gives stdout another place, and waits for it.
ChildEnd RunChild(const std::vector<std::string>& args, const std::function<void()>& prepare = {}) {
  const pid_t child = fork();
  if (child == 0) {
    if (!freopen("out.txt", "w", stdout) || !freopen("err.txt", "w", stderr)) _exit(127);
    if (prepare) prepare();
    std::vector<char*> argv{const_cast<char*>("chung-batch")};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(CHUNG_BATCH_EXECUTABLE, argv.data());
    _exit(127);
  }
  ChildEnd end;
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) != child) return end;
  end.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  end.MaxResidentKb = usage.ru_maxrss;
  return end;
}

// A plan is counted before anything is built: a huge one is refused with its
// exact size at once, in the memory of a small one.
TEST_F(BatchAbuse, HugePlansAreRefusedWithTheirSizeInBoundedMemory) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--vary", "ScrewSpeed=1:9999999:1", "--vary", "OutputRate=1:100001:1"}, "1000009899999"},
      {{"--vary", "FeedTurns=1:100000:1", "--vary", "MeteringTurns=1:100000:1", "--vary",
        "CompressionTurns=1:100000:1", "--vary", "DelayTurns=1:100000:1"},
       "100000000000000000000"},
  };
  for (const auto& [vary, count] : cases) {
    std::vector<std::string> args{"--study", "s.csv"};
    args.insert(args.end(), vary.begin(), vary.end());
    const ChildEnd end = RunChild(args);
    EXPECT_EQ(end.Status, BatchExitUsage) << count;
    EXPECT_TRUE(ReadFile("err.txt").starts_with("chung-batch: the study has " + count +
                                                " cases, more than the 10000000 a study may have\n"))
        << ReadFile("err.txt");
    // Spelled out, the first plan's values alone would take hundreds of MB.
    EXPECT_LT(end.MaxResidentKb, 150 * 1024) << count;
  }
  EXPECT_FALSE(fs::exists("s.csv"));
}


std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = text.find('\n', start);
    lines.push_back(text.substr(start, end - start));
    start = end == std::string::npos ? text.size() : end + 1;
  }
  return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + '\n';
  return text;
}

// Shard 1/2 holds cases 2 and 4, shard 2/2 cases 1 and 3; b.csv is shard
// 2/2 spoilt in one way, merged with a good a.csv over an existing file.
TEST_F(BatchAbuse, MalformedShardsAreRefusedNamingFileAndLine) {
  const std::vector<std::string> plan = {"--vary", "ScrewSpeed=30,40,50,60"};
  auto shard = [&](const char* file, const char* place, std::string values = "ScrewSpeed=30,40,50,60") {
    const BatchResult run = Batch({"--study", file, "--shard", place, "--vary", values});
    EXPECT_EQ(run.Code, 0) << run.Err;
    return ReadFile(file);
  };
  shard("a.csv", "1/2");
  const std::vector<std::string> good = SplitLines(shard("good.csv", "2/2"));
  ASSERT_EQ(good.size(), 4u);
  ASSERT_TRUE(good[0].starts_with("# chung-batch shard 2/2 of study ")) << good[0];
  ASSERT_TRUE(good[0].ends_with(", 4 cases")) << good[0];
  const std::string row = good[2].substr(good[2].find(','));  // the row after its case number
  auto with = [&](std::size_t line, const std::string& text) {
    std::vector<std::string> lines = good;
    lines[line] = text;
    return JoinLines(lines);
  };
  const std::string lfHeader = good[0] + "\n" + good[1] + "\n";
  const std::string nul = std::string("1") + '\0' + row;
  struct Case {
    std::string B;
    int Code;
    std::string Message;
  };
  const std::vector<Case> cases = {
      {with(2, "1,garbage"), 3, "b.csv line 3: the row has 2 fields, the header 14"},
      {with(2, "1,"), 3, "b.csv line 3: the row has 2 fields, the header 14"},
      {with(2, nul), 3, "b.csv line 3: the line holds a NUL byte"},
      {lfHeader + good[2] + "\r\n" + good[3] + "\r\n", 3,
       "b.csv line 3: the line holds a carriage return; study files end lines with LF only"},
      {with(2, "0001" + row), 3, "b.csv line 3: the row does not start with a case number (1, 2, ... without leading zeros)"},
      {with(2, "18446744073709551615" + row), 3, "b.csv line 3: case 18446744073709551615 is beyond the study's 4 cases"},
      {with(3, "5" + row), 3, "b.csv line 4: case 5 is beyond the study's 4 cases"},
      {with(3, "2" + row), 3, "b.csv line 4: case 2 is not one of shard 2/2's cases"},
      {with(2, "3" + row), 3, "b.csv line 4: case 3 is out of case order"},
      {with(2, "1" + row + ",\"open"), 3, "b.csv line 3: a quoted field is not closed"},
      {with(2, "1" + row + std::string(100000, 'x')), 3, "b.csv line 3: the line is longer than 65536 bytes"},
      {JoinLines(good).substr(0, JoinLines(good).size() - 1), 3,
       "b.csv line 4: the line has no line end; the file was cut short"},
      {shard("other.csv", "2/2", "ScrewSpeed=70,80,90,100"), 3, "b.csv line 1: a shard of another study than a.csv"},
      {JoinLines({good.begin() + 1, good.end()}), 3,
       "b.csv line 1: not a shard's study file: it does not start with the line that --shard K/N writes"},
      {JoinLines({good.begin(), good.end() - 1}), 0, ""},  // the last case lost: merged, with a warning
  };
  for (const Case& c : cases) {
    WriteFile("b.csv", c.B);
    WriteFile("out.csv", "keep\n");
    const BatchResult merge = Batch({"--merge", "out.csv", "a.csv", "b.csv"});
    EXPECT_EQ(merge.Code, c.Code) << c.Message;
    if (c.Code != 0) {
      EXPECT_EQ(merge.Err, "chung-batch: " + c.Message + "\n");
      EXPECT_EQ(ReadFile("out.csv"), "keep\n") << c.Message;
    } else {
      EXPECT_EQ(merge.Err, "warning: 1 cases are missing, the first is case 3\n");
    }
  }
}

// Exit 64 before anything is read or written, naming both files and the
// option to change.
TEST_F(BatchAbuse, AnOutputOverAnInputOrAnotherOutputIsRefused) {
  fs::copy_file(std::string(CHUNG_EXAMPLES_DIR) + "/default.txt", "data.txt");
  fs::create_directory("reports");
  fs::copy_file("data.txt", "reports/case-000002.txt");
  fs::create_directory("linked");
  fs::create_hard_link("data.txt", "linked/case-000001.txt");
  fs::create_symlink("p.csv", "dangling.json");  // p.csv is yet to be written
  WriteFile("ldpe.json", Batch({"--show-material", "LDPE"}).Out);
  ASSERT_EQ(Batch({"--study", "s1.csv", "--shard", "1/2", "--vary", "ScrewSpeed=30,40"}).Code, 0);
  ASSERT_EQ(Batch({"--study", "s2.csv", "--shard", "2/2", "--vary", "ScrewSpeed=30,40"}).Code, 0);
  const std::string vary = "ScrewSpeed=30,40";
  const std::string same = "\" are the same file; name another ";
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"-o", "x", "--csv", "x", "--json", "x"}, "the CSV file \"x\" and the result file \"x" + same + "CSV file with --csv"},
      {{"data.txt", "--csv", "p.csv", "--json", "./p.csv"},
       "the JSON file \"./p.csv\" and the CSV file \"p.csv" + same + "JSON file with --json"},
      {{"--json", "result.txt"}, "the JSON file \"result.txt\" and the result file \"result.txt" + same + "JSON file with --json"},
      {{"data.txt", "--csv", "p.csv", "--json", "dangling.json"},
       "the JSON file \"dangling.json\" and the CSV file \"p.csv" + same + "JSON file with --json"},
      {{"-o", "linked/../r.txt", "--csv", "r.txt"},
       "the CSV file \"r.txt\" and the result file \"linked/../r.txt" + same + "CSV file with --csv"},
      {{"data.txt", "--json", "linked/case-000001.txt"},
       "the JSON file \"linked/case-000001.txt\" and the data file \"data.txt" + same + "JSON file with --json"},
      {{"reports/case-000002.txt", "--study", "s.csv", "--reports", "reports", "--vary", vary},
       "the report of case 2 \"reports/case-000002.txt\" and the data file \"reports/case-000002.txt" + same +
           "reports folder with --reports"},
      {{"data.txt", "--study", "s.csv", "--reports", "linked", "--vary", vary},
       "the report of case 1 \"linked/case-000001.txt\" and the data file \"data.txt" + same +
           "reports folder with --reports"},
      {{"--study", "new/case-000001.txt", "--reports", "new", "--vary", vary},
       "the report of case 1 \"new/case-000001.txt\" and the study file \"new/case-000001.txt" + same +
           "reports folder with --reports"},
      {{"--material", "ldpe.json", "--json", "./ldpe.json"},
       "the JSON file \"./ldpe.json\" and the material file \"ldpe.json" + same + "JSON file with --json"},
      {{"--study", "ldpe.json", "--vary", "Material=LDPE;ldpe.json"},
       "the study file \"ldpe.json\" and the material file \"ldpe.json" + same + "study file with --study"},
      {{"--study", "s.csv", "--reports", "linked", "--vary", "Material=HDPE;linked/case-000001.txt"},
       "the report of case 1 \"linked/case-000001.txt\" and the material file \"linked/case-000001.txt" + same +
           "reports folder with --reports"},
      {{"--merge", "s2.csv", "s1.csv", "s2.csv"},
       "the merged file \"s2.csv\" and the shard file \"s2.csv" + same + "merged file with --merge"},
      {{"--merge", "s1.csv", "s2.csv"},
       "the merged file \"s1.csv\" is a shard's study file; give --replace to replace it, or name another merged "
       "file with --merge"},
  };
  for (const auto& [args, message] : cases) {
    const BatchResult result = Batch(args);
    EXPECT_EQ(result.Code, BatchExitUsage) << message;
    EXPECT_EQ(result.Err, "chung-batch: " + message + "\n");
  }
  // Nothing was written: no result, export, study or reports folder.
  for (const char* name : {"x", "p.csv", "result.txt", "r.txt", "s.csv", "new"}) EXPECT_FALSE(fs::exists(name)) << name;
  EXPECT_EQ(ReadFile("linked/case-000001.txt"), ReadFile(std::string(CHUNG_EXAMPLES_DIR) + "/default.txt"));
  // Asked for, a merge replaces a shard's file with the merge of the others.
  const BatchResult replaced = Batch({"--merge", "s1.csv", "--replace", "s2.csv"});
  EXPECT_EQ(replaced.Code, 0) << replaced.Err;
  EXPECT_TRUE(ReadFile("s1.csv").starts_with("case,ScrewSpeed (rpm),"));
}

// An option that a second time would override the first is refused like
// the others; "--" makes only the next argument the data file.
TEST_F(BatchAbuse, RepeatedOptionsAreRefusedAndDoubleDashTakesOneFile) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
      {{"--study", "s.csv", "--shard", "1/2", "--shard", "2/2"}, "option --shard given more than once"},
      {{"--study", "s.csv", "-j", "2", "-j3"}, "option -j given more than once"},
      {{"--merge", "m.csv", "--replace", "--replace", "a.csv"}, "option --replace given more than once"},
      {{"--replace", "-o", "r.txt"}, "option --replace needs --merge OUT.csv"},
      {{"-o", "r.txt", "--"}, "option -- needs a file after it"},
  };
  for (const auto& [args, message] : refused) {
    const BatchResult result = Batch(args);
    EXPECT_EQ(result.Code, BatchExitUsage) << message;
    EXPECT_EQ(result.Err, "chung-batch: " + message + "\n" + BatchUsage);
  }
  fs::copy_file(std::string(CHUNG_EXAMPLES_DIR) + "/default.txt", "-data.txt");
  const BatchResult dashed = Batch({"--", "-data.txt", "-o", "r.txt"});
  EXPECT_EQ(dashed.Code, 0) << dashed.Err;
  EXPECT_TRUE(fs::exists("r.txt"));
}

// Whatever stdout is, a study or merge that could not write its line to it
// says so and exits 2, instead of 0 or death by SIGPIPE.
TEST_F(BatchAbuse, AStandardOutputThatFailsIsExitStatus2ForStudiesAndMerges) {
  ASSERT_EQ(Batch({"--study", "shard.csv", "--shard", "1/1", "--vary", "ScrewSpeed=30"}).Code, 0);
  const std::vector<std::pair<std::string, std::function<void()>>> outputs = {
      {"No space left on device", [] { dup2(open("/dev/full", O_WRONLY), STDOUT_FILENO); }},
      {"Broken pipe",
       [] {
         int ends[2];
         if (pipe(ends) != 0) _exit(127);
         close(ends[0]);  // nobody will read
         dup2(ends[1], STDOUT_FILENO);
       }},
      {"Bad file descriptor", [] { close(STDOUT_FILENO); }},
  };
  const std::vector<std::vector<std::string>> commands = {
      {"--study", "s.csv", "--vary", "ScrewSpeed=30,40"}, {"--merge", "m.csv", "shard.csv"}};
  for (const auto& [reason, prepare] : outputs) {
    for (const std::vector<std::string>& command : commands) {
      const ChildEnd end = RunChild(command, prepare);
      EXPECT_EQ(end.Status, BatchExitFailed) << command[0] << ": " << reason;
      EXPECT_EQ(ReadFile("err.txt"), "chung-batch: can not write to standard output: " + reason + "\n")
          << command[0];
    }
  }
  // The files themselves were written; only the line on stdout was lost.
  EXPECT_TRUE(fs::exists("s.csv"));
  EXPECT_TRUE(fs::exists("m.csv"));
}

// /dev/stdout on a pipe is written in place: only the kernel can follow
// /proc's link to the pipe.
TEST_F(BatchAbuse, AMergeToStandardOutputOnAPipeIsWritten) {
  ASSERT_EQ(Batch({"--study", "shard.csv", "--shard", "1/1", "--vary", "ScrewSpeed=30"}).Code, 0);
  const std::string command = std::string("'") + CHUNG_BATCH_EXECUTABLE +
                              "' --merge /dev/stdout shard.csv 2>err.txt | cat >piped.csv; exit \\${PIPESTATUS[0]}";
  const int status = std::system(("bash -c \"" + command + "\"").c_str());
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadFile("err.txt");
  const std::string shard = ReadFile("shard.csv");
  EXPECT_TRUE(ReadFile("piped.csv").starts_with(shard.substr(shard.find('\n') + 1))) << ReadFile("piped.csv");
}

// Past the file-size limit each case report fails; the rows keep the
// figures computed and say why, and the study exits 2.
TEST_F(BatchAbuse, CaseReportsPastTheFileSizeLimitKeepTheFiguresInTheRows) {
  const std::vector<std::string> study = {"--vary", "ScrewSpeed=30,40", "-j", "2"};
  std::vector<std::string> plain = {"--study", "plain.csv"}, limited = {"--study", "limited.csv", "--reports", "reports"};
  plain.insert(plain.end(), study.begin(), study.end());
  limited.insert(limited.end(), study.begin(), study.end());
  ASSERT_EQ(RunChild(plain).Status, 0);
  // 8 KiB: room for the study file, not for a report of about 13 KB.
  const ChildEnd end = RunChild(limited, [] {
    const rlimit limit{8192, 8192};
    setrlimit(RLIMIT_FSIZE, &limit);
  });
  EXPECT_EQ(end.Status, BatchExitFailed);
  EXPECT_EQ(ReadFile("err.txt"), "chung-batch: 2 case reports were not written completely\n");
  const std::vector<std::string> rows = SplitLines(ReadFile("limited.csv")), expected = SplitLines(ReadFile("plain.csv"));
  ASSERT_EQ(rows.size(), 3u);
  for (std::size_t r = 1; r < rows.size(); ++r) {
    const std::string why = "Can not write result file reports/case-00000" + std::to_string(r) + ".txt: File too large";
    // case,ScrewSpeed,outcome,message,... : the same row with the reason as its message.
    std::string withReason = expected[r];
    withReason.insert(withReason.find("Completed,") + 10, why);
    EXPECT_EQ(rows[r], withReason);
  }
  for (const auto& entry : fs::directory_iterator("reports")) {
    EXPECT_FALSE(entry.path().filename().string().starts_with(".chung-")) << entry.path();
  }
}

// The window's three messages stay; the batch tool adds the system's reason
// on the line after the first.
TEST_F(BatchAbuse, AReportThatCanNotBeOpenedSaysWhy) {
  const BatchResult result = Batch({"-o", "missing/r.txt"});
  EXPECT_EQ(result.Code, BatchExitFailed);
  EXPECT_EQ(result.Err, "File can not open!\nmissing/r.txt: No such file or directory\nFile can not open!\n"
                        "Can not write result to file\nThe report was not written completely to " +
                            (dir_ / "missing/r.txt").string() + "\n");
}

// Files whose names mark them as a replacement's temporary file.
int TemporaryFiles(const fs::path& folder) {
  int count = 0;
  for (const auto& entry : fs::directory_iterator(folder)) count += entry.path().filename().string().starts_with(".chung-");
  return count;
}

// A folder whose absolute path is longer than PATH_MAX, entered one step at a
// time; the test's own folder holds it.
class LongFolder {
 public:
  explicit LongFolder(int depth) : depth_(depth) {
    for (int level = 0; level < depth_; ++level) {
      if (::mkdir(Step.c_str(), 0700) != 0 || ::chdir(Step.c_str()) != 0) ADD_FAILURE() << "level " << level;
    }
  }
  // Back up and remove it step by step: no call sees the whole path.
  ~LongFolder() {
    for (int level = 0; level < depth_; ++level) {
      for (const auto& entry : fs::directory_iterator(".")) {
        if (entry.path().filename() != Step) fs::remove_all(entry.path().filename());
      }
      if (::chdir("..") != 0) return;
      ::rmdir(Step.c_str());
    }
  }

 private:
  const std::string Step = std::string(200, 'd');
  int depth_;
};

// A signal the tool handles removes every temporary file, whichever thread
// it lands on and however long the folder's path: SIGHUP during a study of
// several workers writing reports, SIGTERM during a single run.
TEST_F(BatchAbuse, SignalsLeaveNoTemporaryFileAtAnyPathLength) {
  for (const int depth : {0, 25}) {
    LongFolder folder(depth);
    for (int attempt = 0; attempt < 4; ++attempt) {
      const pid_t child = fork();
      ASSERT_GE(child, 0);
      if (child == 0) {
        freopen("/dev/null", "w", stderr);
        freopen("/dev/null", "w", stdout);
        execl(CHUNG_BATCH_EXECUTABLE, "chung-batch", "--study", "s.csv", "--reports", "rep", "-j", "4", "--vary",
              "ScrewSpeed=20:1019.9:0.1", static_cast<char*>(nullptr));
        _exit(127);
      }
      auto reports = [] {
        std::error_code error;
        return std::distance(fs::directory_iterator("rep", error), fs::directory_iterator());
      };
      for (int wait = 0; wait < 1000 && reports() < 8 + 8 * attempt; ++wait) usleep(5000);
      kill(child, SIGHUP);
      int status = 0;
      ASSERT_EQ(waitpid(child, &status, 0), child);
      EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGHUP) << "depth " << depth << " status " << status;
      EXPECT_EQ(TemporaryFiles("."), 0) << "depth " << depth;
      EXPECT_EQ(TemporaryFiles("rep"), 0) << "depth " << depth;
    }
    // Runs replace their report there like anywhere else.
    for (int run = 0; run < 2; ++run) EXPECT_EQ(RunChild({"-o", "r.txt"}).Status, 0) << "depth " << depth;
  }
}

// The kernel follows a link in a world-writable sticky folder only when the
// user or the folder's owner owns it; the tool, which resolves the link
// itself to replace the file, keeps to the same rule.
TEST_F(BatchAbuse, LinksInSharedStickyFoldersAreFollowedOnlyAsTheKernelWould) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs links owned by another user";
  constexpr uid_t Other = 65534;
  struct Case {
    mode_t FolderMode;
    uid_t FolderOwner, LinkOwner;
    bool Followed;
  };
  const std::vector<Case> cases = {
      {01777, 0, Other, false},  // planted by another user
      {01777, 0, 0, true},       // the user's own link
      {01777, Other, Other, true},  // the folder owner's link
      {0777, 0, Other, true},    // not sticky: no protection to keep
  };
  for (const Case& c : cases) {
    fs::remove_all("shared");
    ASSERT_EQ(::mkdir("shared", 0700), 0);
    ASSERT_EQ(::chmod("shared", c.FolderMode), 0);
    ASSERT_EQ(::chown("shared", c.FolderOwner, 0), 0);
    WriteFile("victim.txt", "precious\n");
    fs::create_symlink("../victim.txt", "shared/result.txt");
    fs::create_symlink("../victim.txt", "shared/case-000001.txt");
    ASSERT_EQ(::lchown("shared/result.txt", c.LinkOwner, 0), 0);
    ASSERT_EQ(::lchown("shared/case-000001.txt", c.LinkOwner, 0), 0);
    const std::string refusal = ": the symbolic link shared/result.txt is in a folder anyone may write to (sticky, "
                                "like /tmp) and belongs to neither you nor the folder's owner; it is not followed";

    const BatchResult run = Batch({"-o", "shared/result.txt"});
    const BatchResult csv = Batch({"--no-report", "--csv", "shared/result.txt"});
    EXPECT_EQ(run.Code, c.Followed ? 0 : BatchExitFailed) << run.Err;
    EXPECT_EQ(csv.Code, c.Followed ? 0 : BatchExitFailed) << csv.Err;
    if (!c.Followed) {
      EXPECT_NE(run.Err.find("File can not open!\nshared/result.txt" + refusal + "\n"), std::string::npos) << run.Err;
      EXPECT_EQ(csv.Err, "chung-batch: the CSV file was not written: shared/result.txt" + refusal + "\n");
      WriteFile("victim.txt", "precious\n");
      const BatchResult study = Batch({"--study", "s.csv", "--reports", "shared", "--vary", "ScrewSpeed=30"});
      EXPECT_EQ(study.Code, BatchExitFailed);
      EXPECT_NE(ReadFile("s.csv").find("shared/case-000001.txt: the symbolic link"), std::string::npos);
      EXPECT_EQ(ReadFile("victim.txt"), "precious\n");
    } else {
      EXPECT_EQ(ReadFile("victim.txt").find("precious"), std::string::npos);
    }
  }
}

}  // namespace
