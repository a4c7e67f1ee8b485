#pragma once
// Whether two names reach one file, by device and inode rather than by the
// text of the paths: "a.txt", "./a.txt", a hard link and a symbolic link to it
// are all the same file.

#include <string>

// False when either name does not exist (a result file yet to be created can
// not be the data file).
bool SameFile(const std::string& first, const std::string& second);
