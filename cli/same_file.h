#pragma once
// Whether two names reach one file, by device and inode rather than by the
// text of the paths: "a.txt", "./a.txt", a hard link and a symbolic link to it
// are all the same file.

#include <sys/types.h>

#include <optional>
#include <string>

// False when either name does not exist (a result file yet to be created can
// not be the data file).
bool SameFile(const std::string& first, const std::string& second);

// Where writing to a name would land: the file itself when it exists,
// otherwise the deepest existing folder on the way and the rest of the path
// below it. Symbolic links are followed, also one that points to a file yet
// to be created.
struct FileIdentity {
  dev_t Device = 0;
  ino_t Inode = 0;
  std::string Rest;  // empty when the file exists
  bool operator==(const FileIdentity&) const = default;
};
std::optional<FileIdentity> IdentifyFile(const std::string& name);

// Whether writing to the two names would write one file, existing or not.
bool SameTarget(const std::string& first, const std::string& second);
