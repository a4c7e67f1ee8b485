#include "report/replace_file.h"

#include "report/temporary_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

// The file that opening `name` would write: symbolic links followed, also a
// link to a file that does not exist yet.
std::string FollowLinks(const std::string& name) {
  std::string path = name;
  for (int depth = 0; depth < 40; ++depth) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    std::error_code error;
    fs::path link = fs::read_symlink(path, error);
    if (error) return path;
    if (link.is_relative()) link = fs::path(path).parent_path() / link;
    path = link.string();
  }
  return path;
}

// A name unique to this process, thread and moment; O_EXCL settles the rest.
std::string TemporaryName(const fs::path& folder) {
  static std::atomic<unsigned long> counter{0};
  const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
  const std::string name = ".chung-" + std::to_string(::getpid()) + "-" +
                           std::to_string(counter.fetch_add(1)) + "-" +
                           std::to_string(static_cast<unsigned long>(now) % 1000000007UL) + ".tmp";
  return (folder / name).string();
}

}  // namespace

ReplacementFile::~ReplacementFile() { Abandon(); }

bool ReplacementFile::Fail(const std::string& what, int error) {
  errorNumber_ = error != 0 ? error : EIO;
  error_ = what + ": " + std::strerror(errorNumber_);
  Abandon();
  return false;
}

bool ReplacementFile::Open(const std::string& target) {
  Abandon();
  error_.clear();
  errorNumber_ = 0;
  direct_ = false;
  if (target.find('\0') != std::string::npos) return Fail(target, EINVAL);

  struct stat info {};
  const bool exists = ::stat(target.c_str(), &info) == 0;
  if (exists) {
    if (S_ISDIR(info.st_mode)) return Fail(target, EISDIR);
    if (!S_ISREG(info.st_mode)) {
      // A device, pipe or terminal (/dev/stdout) is written as it stands: it
      // can not be replaced, and a reader of it never sees a file anyway.
      direct_ = true;
      target_ = target;
      file_ = std::fopen(target.c_str(), "wb");
      return file_ != nullptr || Fail(target, errno);
    }
    if (::access(target.c_str(), W_OK) != 0) return Fail(target, errno);
    std::error_code error;
    target_ = fs::canonical(target, error).string();
    if (error) return Fail(target, error.value());
  } else {
    if (errno != ENOENT) return Fail(target, errno);
    target_ = FollowLinks(target);
    if (fs::path(target_).filename().string().size() > NAME_MAX) return Fail(target, ENAMETOOLONG);
  }

  fs::path folder = fs::path(target_).parent_path();
  if (folder.empty()) folder = ".";
  int descriptor = -1;
  for (int attempt = 0; attempt < 100 && descriptor < 0; ++attempt) {
    temporary_ = TemporaryName(folder);
    // Registered before it exists, so that no moment leaves it unregistered.
    registration_ = RegisterTemporaryFile(temporary_);
    descriptor = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor >= 0) break;
    const int error = errno;
    ForgetTemporaryFile(registration_);
    registration_ = -1;
    temporary_.clear();
    if (error == EEXIST) continue;
    if (exists && (error == EACCES || error == EPERM)) {
      // The folder takes no new file, but the target itself may be written:
      // write it in place, as it would have been without a replacement.
      direct_ = true;
      file_ = std::fopen(target_.c_str(), "wb");
      return file_ != nullptr || Fail(target, errno);
    }
    return Fail(target, error);
  }
  if (descriptor < 0) return Fail(target, EEXIST);
  if (exists) {
    // The replacement is the same file to its users: same mode, same owner where allowed.
    ::fchmod(descriptor, info.st_mode & 07777);
    if (::fchown(descriptor, info.st_uid, info.st_gid) != 0) errno = 0;
  }
  file_ = ::fdopen(descriptor, "wb");
  if (file_ == nullptr) {
    const int error = errno;
    ::close(descriptor);
    return Fail(target, error);
  }
  return true;
}

bool ReplacementFile::Commit() {
  if (file_ == nullptr) return Fail(target_, EBADF);
  std::FILE* file = file_;
  file_ = nullptr;
  errno = 0;
  bool written = std::fflush(file) == 0;
  if (written && !direct_) written = ::fsync(::fileno(file)) == 0;
  const int writeError = errno;
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) return Fail(target_, writeError != 0 ? writeError : errno);
  if (direct_) return true;
  if (std::rename(temporary_.c_str(), target_.c_str()) != 0) return Fail(target_, errno);
  temporary_.clear();
  ForgetTemporaryFile(registration_);
  registration_ = -1;
  return true;
}

void ReplacementFile::Abandon() {
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
  }
  if (!temporary_.empty()) {
    ::unlink(temporary_.c_str());
    temporary_.clear();
  }
  ForgetTemporaryFile(registration_);
  registration_ = -1;
}

std::string ReplaceFileContents(const std::string& target, std::string_view bytes) {
  ReplacementFile file;
  if (!file.Open(target)) return file.Error();
  if (std::fwrite(bytes.data(), 1, bytes.size(), file.Stream()) != bytes.size()) {
    const int error = errno;
    file.Abandon();
    return target + ": " + std::strerror(error != 0 ? error : EIO);
  }
  if (!file.Commit()) return file.Error();
  return {};
}
