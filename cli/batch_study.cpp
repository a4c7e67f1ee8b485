#include "batch_study.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <list>
#include <string>
#include <thread>

#include "batch_paths.h"
#include "batch_run.h"
#include "report/replace_file.h"
#include "results/limit_study.h"
#include "results/study_header.h"
#include "results/study_merge.h"
#include "results/study_rows.h"
#include "results/study_run.h"
#include "results/study_shard.h"
#include "stop_signals.h"

namespace fs = std::filesystem;

namespace {

// "[#######-------------]  3456/10000 cases  2310/s  0:02 left", redrawn in
// place on a terminal.
class ProgressLine {
 public:
  ProgressLine(std::ostream& err, bool enabled) : err_(err), enabled_(enabled) {}

  void Show(uint64_t written, uint64_t planned) {
    if (!enabled_) return;
    const double seconds = std::chrono::duration<double>(Clock::now() - start_).count();
    constexpr int Width = 20;
    const int filled = planned == 0 ? Width : static_cast<int>(written * Width / planned);
    std::string line = "\r[" + std::string(filled, '#') + std::string(Width - filled, '-') + "] " +
                       std::to_string(written) + "/" + std::to_string(planned) + " cases";
    if (seconds > 0 && written > 0) {
      const double rate = written / seconds;
      const auto left = static_cast<uint64_t>((planned - written) / rate + 0.5);
      char figures[64];
      std::snprintf(figures, sizeof figures, "  %.0f/s  %llu:%02llu left", rate,
                    static_cast<unsigned long long>(left / 60), static_cast<unsigned long long>(left % 60));
      line += figures;
    }
    err_ << line << "   " << std::flush;
    shown_ = true;
  }

  // Ends the line, so that the next message starts on its own.
  void Finish() {
    if (shown_) err_ << '\n';
  }

 private:
  using Clock = std::chrono::steady_clock;
  std::ostream& err_;
  bool enabled_;
  bool shown_ = false;
  Clock::time_point start_ = Clock::now();
};

bool PrepareReportsFolder(const std::string& folder, std::ostream& err) {
  std::error_code error;
  fs::create_directories(folder, error);
  if (fs::is_directory(folder)) return true;
  err << "chung-batch: the reports folder " << folder << " can not be created: "
      << (error ? error.message() : "not a folder") << '\n';
  return false;
}

}  // namespace

unsigned BatchWorkers(const BatchOptions& options) {
  const unsigned cores = std::thread::hardware_concurrency();
  return options.Workers != 0 ? options.Workers : cores == 0 ? 1 : cores;
}

int RunStudyCommand(const BatchOptions& options, const RunSetup& setup, bool showProgress, std::ostream& out,
                    std::ostream& err) {
  if (options.ReportsFolder && !PrepareReportsFolder(*options.ReportsFolder, err)) return BatchExitFailed;
  ReplacementFile file;
  if (!file.Open(*options.StudyFile)) {
    err << "chung-batch: the study file can not be written: " << file.Error() << '\n';
    return BatchExitFailed;
  }

  StudySettings settings;
  settings.Base = setup;
  settings.OperatingPoint = options.OperatingPoint;
  settings.Workers = BatchWorkers(options);
  settings.Shard = options.Shard;
  settings.ReportsFolder = options.ReportsFolder;

  int writeError = 0;
  auto write = [&](const std::string& row) {
    if (std::fwrite(row.data(), 1, row.size(), file.Stream()) == row.size()) return true;
    writeError = errno;
    return false;
  };
  // Only a shard's file names its place and study: a whole study's file is
  // the plain CSV, and so is the merge of its shards.
  std::string start = StudyFileHeader(options.Plan, options.Find ? &*options.Find : nullptr, settings);
  if (options.ShardGiven) {
    start = ShardLineText({options.Shard, StudyFingerprint(options.Plan, settings, options.Find ? &*options.Find : nullptr), StudyCaseCount(options.Plan)}) +
            start;
  }
  StudyCounts counts;
  LimitStudyCounts limits;
  if (write(start)) {
    ProgressLine progress(err, showProgress);
    StopSignals signals;
    const auto show = [&](uint64_t written, uint64_t planned) { progress.Show(written, planned); };
    if (options.Find) {
      limits = RunLimitStudy(options.Plan, *options.Find, settings, write, signals.Stop(), show);
      counts.Planned = limits.Planned;
      counts.Written = limits.Written;
      counts.Stopped = limits.Stopped;
      counts.WriteFailed = limits.WriteFailed;
    } else {
      counts = RunStudy(options.Plan, settings, write, signals.Stop(), show);
    }
    progress.Finish();
  } else {
    counts.WriteFailed = true;
  }

  const std::string path = AbsolutePath(*options.StudyFile);
  if (counts.WriteFailed) {
    err << "chung-batch: the study file " << path << " was not written: "
        << std::strerror(writeError != 0 ? writeError : EIO) << '\n';
    return BatchExitFailed;
  }
  if (!file.Commit()) {
    err << "chung-batch: the study file was not written: " << file.Error() << '\n';
    return BatchExitFailed;
  }
  if (counts.Stopped) {
    err << "chung-batch: study stopped; " << path << " holds the first " << counts.Written << " of "
        << counts.Planned << " cases\n";
    return BatchExitStopped;
  }
  out << "Study written to " << path << ": " << counts.Written << " cases, ";
  if (options.Find) {
    out << limits.Found << " found, " << limits.SeveralChanges << " with several changes, " << limits.HoldsEverywhere
        << " holding everywhere, " << limits.HoldsNowhere << " holding nowhere\n";
  } else {
    out << counts.Completed << " completed, " << counts.Rejected << " rejected, " << counts.Failed << " failed\n";
  }
  if (counts.ReportsNotWritten > 0) {
    err << "chung-batch: " << counts.ReportsNotWritten << " case reports were not written completely\n";
    return BatchExitFailed;
  }
  return BatchExitCompleted;
}

int RunMergeCommand(const BatchOptions& options, std::ostream& out, std::ostream& err) {
  std::list<std::ifstream> streams;
  std::vector<StudyFileInput> inputs;
  for (const std::string& name : options.MergeInputs) {
    std::ifstream& stream = streams.emplace_back(name, std::ios::binary);
    if (!stream) {
      err << "chung-batch: the study file " << name << " can not be read\n";
      return BatchExitDataFileRefused;
    }
    inputs.push_back({name, &stream});
  }
  ReplacementFile file;
  if (!file.Open(*options.MergeOutput)) {
    err << "chung-batch: the merged file can not be written: " << file.Error() << '\n';
    return BatchExitFailed;
  }
  int writeError = 0;  // the system's reason when a row could not be written
  const StudyMergeResult merged = MergeStudyFiles(inputs, [&](const std::string& line) {
    errno = 0;
    if (std::fwrite(line.data(), 1, line.size(), file.Stream()) == line.size()) return true;
    writeError = errno;
    return false;
  });
  if (!merged.Error.empty()) {
    err << "chung-batch: " << merged.Error
        << (merged.WriteFailed && writeError != 0 ? std::string(": ") + std::strerror(writeError) : std::string())
        << '\n';
    return merged.WriteFailed ? BatchExitFailed : BatchExitDataFileRefused;
  }
  if (!file.Commit()) {
    err << "chung-batch: the merged file was not written: " << file.Error() << '\n';
    return BatchExitFailed;
  }
  if (merged.Missing > 0) {
    err << "warning: " << merged.Missing << " cases are missing, the first is case " << merged.FirstMissing
        << '\n';
  }
  out << "Merged " << merged.Cases << " cases into " << AbsolutePath(*options.MergeOutput) << '\n';
  return BatchExitCompleted;
}
