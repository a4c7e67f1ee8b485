#include "batch_outputs.h"

#include <dirent.h>
#include <sys/stat.h>

#include <charconv>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <vector>

#include "materials/material_library.h"
#include "results/study_merge.h"
#include "results/study_run.h"
#include "same_file.h"

namespace fs = std::filesystem;

namespace {

struct NamedFile {
  std::string What;    // "result file"
  std::string Option;  // "-o"
  std::string Name;
};

// `output` is the one to rename, with its option; a case's report is
// renamed by choosing another folder.
std::string Collision(const NamedFile& output, const NamedFile& other) {
  const std::string another = output.Option == "--reports" ? "reports folder" : output.What;
  return "the " + output.What + " \"" + output.Name + "\" and the " + other.What + " \"" + other.Name +
         "\" are the same file; name another " + another + " with " + output.Option;
}

// The files a run, study or merge writes, in the order of the usage; one
// that collides with an earlier one is the one to rename.
std::vector<NamedFile> SingleFileOutputs(const BatchOptions& options) {
  std::vector<NamedFile> outputs;
  if (options.MergeOutput) {
    outputs.push_back({"merged file", "--merge", *options.MergeOutput});
    return outputs;
  }
  if (options.StudyFile) {
    outputs.push_back({"study file", "--study", *options.StudyFile});
    return outputs;
  }
  if (!options.NoReport) outputs.push_back({"result file", "-o", options.ResultFile});
  if (options.CsvFile) outputs.push_back({"CSV file", "--csv", *options.CsvFile});
  if (options.JsonFile) outputs.push_back({"JSON file", "--json", *options.JsonFile});
  if (options.MeltCsvFile) outputs.push_back({"melt CSV file", "--melt-csv", *options.MeltCsvFile});
  return outputs;
}

std::vector<NamedFile> Inputs(const BatchOptions& options) {
  std::vector<NamedFile> inputs;
  if (options.DataFile) inputs.push_back({"data file", "", *options.DataFile});
  for (const std::string& shard : options.MergeInputs) inputs.push_back({"shard file", "", shard});
  // Only a name read as a file is one: a key is looked up in the library.
  if (options.MaterialName && NamesMaterialFile(*options.MaterialName)) {
    inputs.push_back({"material file", "", *options.MaterialName});
  }
  for (const StudyAxis& axis : options.Plan.Axes) {
    if (axis.Input != MaterialAxisInput) continue;
    for (const std::string& text : axis.Texts) {
      if (NamesMaterialFile(text)) inputs.push_back({"material file", "", text});
    }
  }
  return inputs;
}

// The case whose report is named `name` in the reports folder, when the
// study writes that report: "case-000042.txt" is case 42.
std::optional<uint64_t> ReportCase(const std::string& name, const BatchOptions& options) {
  constexpr std::string_view Lead = "case-", Tail = ".txt";
  if (!name.starts_with(Lead) || !name.ends_with(Tail)) return std::nullopt;
  uint64_t number = 0;
  const char* first = name.data() + Lead.size();
  const char* last = name.data() + name.size() - Tail.size();
  if (std::from_chars(first, last, number).ptr != last) return std::nullopt;
  const uint64_t cases = StudyCaseCount(options.Plan);
  if (name != CaseReportName("", number) || number == 0 || number > cases || number % options.Shard.Count != options.Shard.Index - 1) {
    return std::nullopt;
  }
  return number;
}

std::string ReportCollision(const std::string& folder, const std::string& report, uint64_t number,
                            const NamedFile& file) {
  return Collision({"report of case " + std::to_string(number), "--reports", (fs::path(folder) / report).string()},
                   file);
}

// A report the study would write over `file`: one of the reports folder's
// existing entries that leads to it, or `file` itself placed in the folder
// under a report's name.
std::string ReportOverFile(const BatchOptions& options, const NamedFile& file) {
  const std::string& folder = *options.ReportsFolder;
  const std::optional<FileIdentity> target = IdentifyFile(file.Name);
  if (!target) return {};
  const fs::path path(file.Name);
  if (const std::optional<uint64_t> number = ReportCase(path.filename().string(), options)) {
    const std::optional<FileIdentity> place = IdentifyFile(path.has_parent_path() ? path.parent_path().string() : ".");
    if (place && place == IdentifyFile(folder)) return ReportCollision(folder, path.filename().string(), *number, file);
  }
  // Only entries that may lead to the file are looked at (links, and hard
  // links by their inode), so a folder of millions of reports costs no stat each.
  const std::unique_ptr<DIR, int (*)(DIR*)> entries(::opendir(folder.c_str()), ::closedir);
  if (!entries) return {};
  while (const dirent* entry = ::readdir(entries.get())) {
    const bool mayLead = entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN ||
                         (target->Rest.empty() && entry->d_ino == target->Inode);
    if (!mayLead) continue;
    const std::optional<uint64_t> number = ReportCase(entry->d_name, options);
    if (number && IdentifyFile((fs::path(folder) / entry->d_name).string()) == target) {
      return ReportCollision(folder, entry->d_name, *number, file);
    }
  }
  return {};
}

// Only a regular file is read: /dev/stdout or a pipe could block or lose data.
bool IsShardFileNamed(const std::string& name) {
  struct stat info {};
  if (::stat(name.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  std::ifstream stream(name, std::ios::binary);
  return stream && IsShardFile(static_cast<std::istream&>(stream));
}

}  // namespace

std::string OutputsOverInputs(const BatchOptions& options) {
  const std::vector<NamedFile> outputs = SingleFileOutputs(options);
  const std::vector<NamedFile> inputs = Inputs(options);
  for (const NamedFile& output : outputs) {
    for (const NamedFile& input : inputs) {
      if (SameFile(input.Name, output.Name)) return Collision(output, input);
    }
  }
  for (std::size_t later = 1; later < outputs.size(); ++later) {
    for (std::size_t earlier = 0; earlier < later; ++earlier) {
      if (SameTarget(outputs[earlier].Name, outputs[later].Name)) return Collision(outputs[later], outputs[earlier]);
    }
  }
  if (options.StudyFile && options.ReportsFolder) {
    std::vector<NamedFile> files = inputs;
    files.insert(files.end(), outputs.begin(), outputs.end());
    for (const NamedFile& file : files) {
      if (std::string problem = ReportOverFile(options, file); !problem.empty()) return problem;
    }
  }
  if (options.MergeOutput && !options.ReplaceShard && IsShardFileNamed(*options.MergeOutput)) {
    return "the merged file \"" + *options.MergeOutput +
           "\" is a shard's study file; give --replace to replace it, or name another merged file with --merge";
  }
  return {};
}
