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

// Whether the kernel would follow the link `link` (lstat in `linkInfo`): in a
// sticky folder that anyone may write to, only a link owned by the user or by
// the folder's owner, so that nobody can plant a link for another to follow.
bool KernelWouldFollow(const std::string& link, const struct stat& linkInfo) {
  const fs::path folder = fs::path(link).parent_path();
  struct stat folderInfo {};
  if (::stat(folder.empty() ? "." : folder.c_str(), &folderInfo) != 0) return true;
  const bool shared = (folderInfo.st_mode & S_ISVTX) != 0 && (folderInfo.st_mode & S_IWOTH) != 0;
  return !shared || linkInfo.st_uid == ::geteuid() || linkInfo.st_uid == folderInfo.st_uid;
}

// The file that opening `name` would write: symbolic links followed, also a
// link to a file that does not exist yet. False for a link the kernel would
// not follow, with `refused` naming it.
bool FollowLinks(const std::string& name, std::string& path, std::string& refused) {
  path = name;
  for (int depth = 0; depth < 40; ++depth) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return true;
    if (!KernelWouldFollow(path, info)) {
      refused = path;
      return false;
    }
    std::error_code error;
    fs::path link = fs::read_symlink(path, error);
    if (error) return true;
    if (link.is_relative()) link = fs::path(path).parent_path() / link;
    path = link.string();
  }
  return true;
}

// A name unique to this process, thread and moment; O_EXCL settles the rest.
std::string TemporaryName() {
  static std::atomic<unsigned long> counter{0};
  const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
  return ".chung-" + std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1)) + "-" +
         std::to_string(static_cast<unsigned long>(now) % 1000000007UL) + ".tmp";
}

}  // namespace

ReplacementFile::~ReplacementFile() { Abandon(); }

bool ReplacementFile::Fail(const std::string& what, int error) {
  errorNumber_ = error != 0 ? error : EIO;
  error_ = what + ": " + std::strerror(errorNumber_);
  Abandon();
  return false;
}

void ReplacementFile::CloseFolder() {
  if (folder_ >= 0) ::close(folder_);
  folder_ = -1;
}

bool ReplacementFile::Open(const std::string& target) {
  Abandon();
  error_.clear();
  errorNumber_ = 0;
  direct_ = false;
  if (target.find('\0') != std::string::npos) return Fail(target, EINVAL);
  if (target.empty()) return Fail(target, ENOENT);

  std::string refused;
  if (!FollowLinks(target, target_, refused)) {
    Abandon();
    errorNumber_ = EACCES;
    error_ = target + ": the symbolic link " + refused +
             " is in a folder anyone may write to (sticky, like /tmp) and belongs to neither you nor the "
             "folder's owner; it is not followed";
    return false;
  }
  // A device, pipe or terminal (/dev/stdout) is written as it stands, through
  // the name given: it can not be replaced, a reader of it never sees a file
  // anyway, and only the kernel can follow /proc's links to a pipe.
  struct stat device {};
  if (::stat(target.c_str(), &device) == 0 && !S_ISREG(device.st_mode) && !S_ISDIR(device.st_mode)) {
    target_ = target;
    return OpenDirect(target, ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  }
  const fs::path path(target_);
  name_ = path.filename().string();
  if (name_.empty() || name_ == "." || name_ == "..") return Fail(target, EISDIR);
  const std::string folder = path.has_parent_path() ? path.parent_path().string() : ".";
  folder_ = ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (folder_ < 0) return Fail(target, errno);

  struct stat info {};
  const bool exists = ::fstatat(folder_, name_.c_str(), &info, 0) == 0;
  if (exists) {
    if (S_ISDIR(info.st_mode)) return Fail(target, EISDIR);
    if (!S_ISREG(info.st_mode)) {
      return OpenDirect(target, ::openat(folder_, name_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
    }
    if (::faccessat(folder_, name_.c_str(), W_OK, 0) != 0) return Fail(target, errno);
  } else {
    if (errno != ENOENT) return Fail(target, errno);
    if (name_.size() > NAME_MAX) return Fail(target, ENAMETOOLONG);
  }

  int descriptor = -1;
  for (int attempt = 0; attempt < 100 && descriptor < 0; ++attempt) {
    temporaryName_ = TemporaryName();
    descriptor = CreateTemporaryFile(folder_, temporaryName_, registration_);
    if (descriptor >= 0) break;
    const int error = errno;
    temporaryName_.clear();
    if (error == EEXIST) continue;
    // The folder takes no new file, but the target itself may be written:
    // write it in place, as it would have been without a replacement.
    if (exists && (error == EACCES || error == EPERM)) {
      return OpenDirect(target, ::openat(folder_, name_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
    }
    return Fail(target, error);
  }
  if (descriptor < 0) return Fail(target, EEXIST);
  temporary_ = (fs::path(folder) / temporaryName_).string();
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

bool ReplacementFile::OpenDirect(const std::string& target, int descriptor) {
  direct_ = true;
  if (descriptor < 0) return Fail(target, errno);
  file_ = ::fdopen(descriptor, "wb");
  if (file_ == nullptr) {
    const int error = errno;
    ::close(descriptor);
    return Fail(target, error);
  }
  CloseFolder();
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
  if (::renameat(folder_, temporaryName_.c_str(), folder_, name_.c_str()) != 0) return Fail(target_, errno);
  temporaryName_.clear();
  temporary_.clear();
  Abandon();  // forgets the registration and closes the folder
  return true;
}

void ReplacementFile::Abandon() {
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
  }
  if (!temporaryName_.empty()) {
    ::unlinkat(folder_, temporaryName_.c_str(), 0);
    temporaryName_.clear();
    temporary_.clear();
  }
  // A signal handler that took the file needs the folder until the end.
  const bool forgotten = ForgetTemporaryFile(registration_);
  registration_ = -1;
  if (forgotten) {
    CloseFolder();
  } else {
    folder_ = -1;
  }
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
