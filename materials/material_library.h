// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The materials a user can choose: the built-in library shipped with the
// program (one file per material in share/chung-model-simulation/materials,
// or the source tree's materials/library in a build tree) and the user's own,
// one file each in $XDG_DATA_HOME/chung/materials (~/.local/share by
// default), shared by the window and chung-batch. No Qt: the batch tool
// reads them without a display.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "materials/material.h"

struct MaterialLibrary {
  std::vector<Material> Materials;  // the built-ins in key order, then the user's in key order
  // One sentence per file that was not taken (a bad record, a duplicate key,
  // a symbolic link), naming the file and the member.
  std::vector<std::string> Problems;
};

// The folder of the built-in materials: beside the installed program
// (<prefix>/share/chung-model-simulation/materials, found from
// /proc/self/exe), otherwise the source tree's materials/library.
std::string BuiltInMaterialsFolder();

// $XDG_DATA_HOME/chung/materials when XDG_DATA_HOME is an absolute path,
// otherwise $HOME/.local/share/chung/materials; empty without either.
std::string UserMaterialsFolder();

// Reads every *.json in the two folders (a missing user folder is empty).
// A user file that is not a regular file, fails its checks, is not named
// after its key, or repeats a key (letter case ignored) is left out with a
// problem; built-ins come first and keep their keys.
MaterialLibrary LoadMaterialLibrary(const std::string& builtInFolder, const std::string& userFolder);

// The library of BuiltInMaterialsFolder() and UserMaterialsFolder().
MaterialLibrary LoadMaterialLibrary();

// The material with `key` (letter case ignored), or null.
const Material* FindMaterial(const MaterialLibrary& library, std::string_view key);

// The material `nameOrFile` names: a key of `library` or, when it is none
// and holds a '/' or ends in ".json", that material file. On failure
// returns nothing with `error` saying why, listing the keys for a name.
std::optional<Material> ResolveMaterial(std::string_view nameOrFile, const MaterialLibrary& library,
                                        std::string& error);

// Whether `nameOrFile` is read as a material file when it is no key: it
// holds a '/' or ends in ".json".
bool NamesMaterialFile(std::string_view nameOrFile);

// The library's keys, "LDPE, HDPE, ...", for messages.
std::string MaterialKeyList(const MaterialLibrary& library);

// A key as a file name can hold it: 1 to 64 of letters, digits, '-', '_'
// and '.', not starting with '.'.
bool IsMaterialKey(std::string_view key);

// <userFolder>/<key>.json
std::string UserMaterialPath(const std::string& userFolder, std::string_view key);

// Writes a user material to <userFolder>/<key>.json whole or not at all,
// creating the folder; refused when the key belongs to a built-in material of
// `library`. Returns an empty text or the reason.
std::string SaveUserMaterial(const Material& material, const MaterialLibrary& library,
                             const std::string& userFolder);

// Removes <userFolder>/<key>.json; returns an empty text or the reason.
std::string DeleteUserMaterial(std::string_view key, const std::string& userFolder);

// "built-in", "user" or "file".
const char* MaterialOriginText(MaterialOrigin origin);
