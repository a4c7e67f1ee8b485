// SPDX-License-Identifier: GPL-3.0-or-later
#include "materials/material_library.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

bool SameKey(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// The *.json files of `folder` in name order; none when it does not exist.
std::vector<fs::path> MaterialFiles(const std::string& folder) {
  std::vector<fs::path> files;
  std::error_code error;
  if (folder.empty()) return files;
  for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
    if (entry->path().extension() == ".json") files.push_back(entry->path());
  }
  // Key order: "HDPE" before "HDPE-X", which the file names alone would swap.
  std::sort(files.begin(), files.end(), [](const fs::path& a, const fs::path& b) { return a.stem() < b.stem(); });
  return files;
}

// Reads one file of a folder into the library, or notes why it was left out.
void TakeMaterialFile(const fs::path& path, MaterialOrigin origin, MaterialLibrary& library) {
  const std::string name = path.string();
  struct stat status {};
  if (::lstat(name.c_str(), &status) != 0) {
    library.Problems.push_back("Material file " + name + " can not be read: " + std::strerror(errno));
    return;
  }
  // A link could make a material appear under another file's name, or
  // point outside the folder; the folder holds each material's own file.
  if (S_ISLNK(status.st_mode)) {
    library.Problems.push_back("Material file " + name + " is a symbolic link, not a material file of its own");
    return;
  }
  if (!S_ISREG(status.st_mode)) {
    library.Problems.push_back("Material file " + name + " is not a regular file");
    return;
  }
  std::string error;
  std::optional<Material> material = ReadMaterialFile(name, error);
  if (!material) {
    library.Problems.push_back(error);
    return;
  }
  if (material->Key != path.stem().string()) {
    library.Problems.push_back("Material file " + name + ": key \"" + material->Key +
                               "\" must be the file's name without .json");
    return;
  }
  if (const Material* taken = FindMaterial(library, material->Key)) {
    library.Problems.push_back("Material file " + name + ": key \"" + material->Key + "\" is already the key of " +
                               MaterialOriginText(taken->Origin) + " material " + taken->Path);
    return;
  }
  material->Origin = origin;
  library.Materials.push_back(std::move(*material));
}

}  // namespace

std::string BuiltInMaterialsFolder() {
  std::error_code error;
  const fs::path program = fs::read_symlink("/proc/self/exe", error);
  if (!error) {
    const fs::path installed = program.parent_path() / CHUNG_MATERIALS_FROM_PROGRAM;
    if (fs::is_directory(installed, error)) return installed.lexically_normal().string();
  }
  return CHUNG_SOURCE_MATERIALS_DIR;
}

std::string UserMaterialsFolder() {
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data && data[0] == '/') return (fs::path(data) / "chung" / "materials").string();
  const char* home = std::getenv("HOME");
  if (home && home[0] != '\0') return (fs::path(home) / ".local" / "share" / "chung" / "materials").string();
  return {};
}

MaterialLibrary LoadMaterialLibrary(const std::string& builtInFolder, const std::string& userFolder) {
  MaterialLibrary library;
  for (const fs::path& path : MaterialFiles(builtInFolder)) TakeMaterialFile(path, MaterialOrigin::BuiltIn, library);
  for (const fs::path& path : MaterialFiles(userFolder)) TakeMaterialFile(path, MaterialOrigin::User, library);
  return library;
}

MaterialLibrary LoadMaterialLibrary() { return LoadMaterialLibrary(BuiltInMaterialsFolder(), UserMaterialsFolder()); }

const Material* FindMaterial(const MaterialLibrary& library, std::string_view key) {
  for (const Material& material : library.Materials) {
    if (SameKey(material.Key, key)) return &material;
  }
  return nullptr;
}

std::optional<Material> ResolveMaterial(std::string_view nameOrFile, const MaterialLibrary& library,
                                        std::string& error) {
  if (const Material* material = FindMaterial(library, nameOrFile)) return *material;
  const std::string text(nameOrFile);
  if (NamesMaterialFile(text)) return ReadMaterialFile(text, error);
  error = "no material \"" + text + "\"; the materials are " + MaterialKeyList(library) +
          " (or a material file, a path with '/' or ending in .json)";
  return std::nullopt;
}

bool NamesMaterialFile(std::string_view nameOrFile) {
  return nameOrFile.find('/') != std::string_view::npos || nameOrFile.ends_with(".json");
}

std::string MaterialKeyList(const MaterialLibrary& library) {
  std::string keys;
  for (const Material& material : library.Materials) keys += (keys.empty() ? "" : ", ") + material.Key;
  return keys;
}

bool IsMaterialKey(std::string_view key) {
  if (key.empty() || key.size() > 64 || key.front() == '.') return false;
  return std::all_of(key.begin(), key.end(), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.';
  });
}

std::string UserMaterialPath(const std::string& userFolder, std::string_view key) {
  return (fs::path(userFolder) / (std::string(key) + ".json")).string();
}

std::string SaveUserMaterial(const Material& material, const MaterialLibrary& library,
                             const std::string& userFolder) {
  if (std::string problem = MaterialProblem(material); !problem.empty()) return problem;
  if (userFolder.empty()) return "there is no folder for user materials: neither XDG_DATA_HOME nor HOME is set";
  if (const Material* taken = FindMaterial(library, material.Key)) {
    if (taken->Origin == MaterialOrigin::BuiltIn) {
      return "key \"" + material.Key + "\" is a built-in material's; duplicate it under a key of its own";
    }
    if (taken->Key != material.Key) {
      return "key \"" + material.Key + "\" differs only in letter case from user material \"" + taken->Key + "\"";
    }
  }
  std::error_code error;
  fs::create_directories(userFolder, error);
  if (error) return "the folder " + userFolder + " can not be created: " + error.message();
  return WriteMaterialFile(UserMaterialPath(userFolder, material.Key), material);
}

std::string DeleteUserMaterial(std::string_view key, const std::string& userFolder) {
  if (!IsMaterialKey(key)) return std::string(key).append(" is not a material key");
  const std::string path = UserMaterialPath(userFolder, key);
  if (::unlink(path.c_str()) != 0) return "Material file " + path + " can not be removed: " + std::strerror(errno);
  return {};
}

const char* MaterialOriginText(MaterialOrigin origin) {
  switch (origin) {
    case MaterialOrigin::BuiltIn:
      return "built-in";
    case MaterialOrigin::User:
      return "user";
    case MaterialOrigin::File:
      break;
  }
  return "file";
}
