#pragma once
// Replacing a file whole or not at all. The new contents go to a temporary
// file in the target's folder, are flushed to disk, and the temporary file is
// renamed over the target; a reader sees the old file or the new one, never
// half of one. The folder is opened once and every file in it is reached by
// name from there, so a folder whose full path is longer than PATH_MAX works.
// An existing target keeps its permissions; a target that is a symbolic link
// has the file it points to replaced, except where the kernel would not follow
// the link either: in a world-writable sticky folder (/tmp), a link owned by
// neither the user nor the folder's owner is refused. A target that is not a
// regular file (a device, a pipe) is written in place, and so is a writable
// file in a folder where no temporary file may be created. No temporary file
// stays behind after a failure, nor after a signal once
// RemoveTemporaryFilesOnSignals (report/temporary_files.h) is installed.

#include <cstdio>
#include <string>
#include <string_view>

class ReplacementFile {
 public:
  ReplacementFile() = default;
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;
  ~ReplacementFile();  // removes the temporary file unless committed

  // Creates the temporary file for `target`. Fails, with `Error()` set, where
  // the target itself could not be opened for writing: a missing folder, a
  // folder, a file without write permission, a name that is too long or
  // holds a NUL byte.
  bool Open(const std::string& target);
  bool IsOpen() const { return file_ != nullptr; }

  // The open temporary file, for writing.
  std::FILE* Stream() const { return file_; }

  // Flushes, syncs and closes the temporary file, then renames it over the
  // target. On failure the target is untouched and the temporary file removed.
  bool Commit();

  // Removes the temporary file without touching the target.
  void Abandon();

  const std::string& Error() const { return error_; }
  int ErrorNumber() const { return errorNumber_; }  // the errno behind Error()
  const std::string& TemporaryPath() const { return temporary_; }

 private:
  bool Fail(const std::string& what, int error);
  bool OpenDirect(const std::string& target, int descriptor);  // writes the target in place

  void CloseFolder();

  std::FILE* file_ = nullptr;
  bool direct_ = false;    // a device or pipe, written in place
  int folder_ = -1;        // the target's folder, open
  std::string target_;     // the file that is replaced, links followed
  std::string name_;       // target_'s name in folder_
  std::string temporary_;  // the temporary file's path, for messages and tests
  std::string temporaryName_;  // its name in folder_
  std::string error_;
  int errorNumber_ = 0;
  int registration_ = -1;  // the temporary file's slot in the signal cleanup
};

// Writes `bytes` as the whole new contents of `target`. Returns an empty text
// on success, otherwise the reason.
std::string ReplaceFileContents(const std::string& target, std::string_view bytes);
