#include "batch_paths.h"

#include <filesystem>

namespace fs = std::filesystem;

std::string AbsolutePath(const std::string& path) {
  std::error_code error;
  const fs::path absolute = fs::absolute(path, error);
  return error ? path : absolute.lexically_normal().string();
}
