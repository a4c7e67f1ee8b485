#include "cli/same_file.h"

#include <sys/stat.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

// The link's target, made a path from here when it is relative.
std::optional<std::string> FollowDanglingLink(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode) || ::stat(path.c_str(), &info) == 0) {
    return std::nullopt;
  }
  std::error_code error;
  fs::path target = fs::read_symlink(path, error);
  if (error) return std::nullopt;
  if (target.is_relative()) target = fs::path(path).parent_path() / target;
  return target.string();
}

}  // namespace

bool SameFile(const std::string& first, const std::string& second) {
  struct stat a {}, b {};
  if (::stat(first.c_str(), &a) != 0 || ::stat(second.c_str(), &b) != 0) return false;
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

std::optional<FileIdentity> IdentifyFile(const std::string& name) {
  if (name.empty() || name.find('\0') != std::string::npos) return std::nullopt;
  std::string path = name;
  for (int depth = 0; depth < 40; ++depth) {
    const std::optional<std::string> target = FollowDanglingLink(path);
    if (!target) break;
    path = *target;
  }
  std::error_code error;
  fs::path folder = fs::absolute(path, error).lexically_normal();
  if (error) return std::nullopt;
  fs::path rest;
  while (true) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) == 0) return FileIdentity{info.st_dev, info.st_ino, rest.string()};
    if (!folder.has_relative_path()) return std::nullopt;
    const fs::path name = folder.has_filename() ? folder.filename() : folder.parent_path().filename();
    rest = rest.empty() ? name : name / rest;
    folder = folder.has_filename() ? folder.parent_path() : folder.parent_path().parent_path();
  }
}

bool SameTarget(const std::string& first, const std::string& second) {
  const std::optional<FileIdentity> a = IdentifyFile(first), b = IdentifyFile(second);
  return a && b && *a == *b;
}
