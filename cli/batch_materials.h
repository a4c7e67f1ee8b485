// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// chung-batch's material commands (--list-materials, --show-material,
// --fit-viscosity) and what --material and a project file change in a run.

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "materials/material_library.h"
#include "materials/project_file.h"

struct BatchOptions;

// The library, with each user file left out told on `err` as a warning.
MaterialLibrary BatchMaterialLibrary(std::ostream& err);

int ListMaterialsCommand(std::ostream& out, std::ostream& err);
int ShowMaterialCommand(const std::string& name, std::ostream& out, std::ostream& err);
int FitViscosityCommand(const std::string& source, std::ostream& out, std::ostream& err);

// --material and the material axes of --vary, resolved into `setup` and
// `options`; the material's texts go into setup.Texts before --set applies.
// Returns 0 or the exit status after telling the user why.
int ApplyBatchMaterials(BatchOptions& options, RunSetup& setup, char decimalSeparator, std::ostream& err);

// A project's study setup for a study file (--study) asked on the command
// line: with no --vary there, the project's axes count as if given with
// --vary; with no --find, its find (with its until, smallest and tolerance)
// as if given with those options. What the command line gives replaces the
// project's; without --study a project runs once, as a data file does.
// `options` is parsed again from `args` with the project's options after
// them. Returns false with `error` set when the project's setup does not fit
// the usage; a project that can not be read is left to LoadProjectFile.
bool ApplyProjectStudy(const std::vector<std::string>& args, BatchOptions& options, char decimalSeparator,
                       std::string& error);

// Reads a project file into `setup` (its texts in `decimalSeparator`; its
// stage's inputs come before the command line's --set, which RunBatch
// applies), turning the stage on when the project's is; false after telling
// the user why the file was refused.
bool LoadProjectFile(const std::string& path, BatchOptions& options, RunSetup& setup, char decimalSeparator,
                     std::ostream& err);
