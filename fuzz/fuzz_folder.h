#pragma once
// A private folder for the files a harness writes, on a memory file system
// where there is one (so that syncing a report costs nothing), removed when
// the process ends.

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

inline const std::filesystem::path& FuzzFolder() {
  static const std::filesystem::path folder = [] {
    namespace fs = std::filesystem;
    const fs::path base = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    const fs::path made = base / ("chung-fuzz-" + std::to_string(::getpid()));
    fs::remove_all(made);
    fs::create_directories(made);
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(FuzzFolder(), ignored);
    });
    return made;
  }();
  return folder;
}

// The number of entries in the folder: a harness that cleans up after each
// input expects exactly the files it keeps there.
inline int FuzzFolderEntries() {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(FuzzFolder())) ++count;
  return count;
}
