// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Everything a run needs, as one record: the 28 texts as typed and the
// result file name, the viscosity unit, the material (the whole record, so a
// project opened on another machine runs the same), the die and stage inputs
// and the study setup. A project file (.chung) holds it as JSON
// (docs/project.schema.json); members a newer version wrote are kept and
// written back. Numbers are typed texts, so the file keeps the decimal
// separator they were typed with and SetupTexts turns them into the reader's.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/run_command.h"
#include "materials/material.h"
#include "melt/melt_inputs.h"

inline constexpr const char* ProjectFileExtension = ".chung";

struct StudySetup {
  std::vector<std::string> Axes;  // as --vary takes them: "ScrewSpeed=20:60:10"
  std::string Find;               // as --find takes it, or empty
  std::string Until;              // as --until takes it, or empty
  bool Smallest = false;
  std::string Tolerance;          // as typed, or empty
  std::string Bound;              // as --bound takes it, or empty: both bounds
};

struct RunSetup {
  RunTexts Texts;  // the 28 numbers as typed, then the result file name
  int32_t UnitIndex = 1;
  char DecimalSeparator = '.';      // the one Texts were typed with
  std::optional<::Material> Material;  // null: the texts' own material values
  bool MeltStage = false;             // run the melt-conveying stage after the run
  MeltTexts Melt;
  StudySetup Study;
  // The file as it was read (JSON text of one object), so that members this
  // version does not know are written back unchanged; empty for a new setup.
  std::string ReadDocument;
  std::vector<std::string> UnknownNames;  // those members' paths, for the note
};

// The initial setup: the initial texts and unit, no material, no stage.
RunSetup InitialRunSetup(char decimalSeparator = '.');

// The texts with `decimalSeparator` in the numbers, wherever they were typed.
RunTexts SetupTexts(const RunSetup& setup, char decimalSeparator);
MeltTexts SetupMeltTexts(const RunSetup& setup, char decimalSeparator);
// The study setup as --vary, --find and --tolerance read it under
// `decimalSeparator`: numbers take that separator, and a list typed with ','
// between values takes ';' where ',' becomes the decimal point. Words
// (materials, die modes, conditions) keep their letters.
StudySetup SetupStudy(const RunSetup& setup, char decimalSeparator);

inline constexpr std::uintmax_t MaxProjectFileBytes = 16 << 20;

// JSON text of a project, and back. Parse checks every known member; the
// message names the member.
std::string ProjectJson(const RunSetup& setup);
std::optional<RunSetup> ParseProjectJson(std::string_view text, std::string& error);

// Reads and writes a project file; writing is whole or not at all. Return
// nothing / an empty text on success, with the reason otherwise.
std::optional<RunSetup> ReadProjectFile(const std::string& path, std::string& error);
std::string WriteProjectFile(const std::string& path, const RunSetup& setup);

// Whether `path` names a project file rather than a data file: it ends in
// .chung, or it is a regular file whose first non-blank byte is '{'.
bool IsProjectFile(const std::string& path);

// "The project holds members this version does not know, kept as they are:
// a, b." or empty.
std::string UnknownMembersNote(const RunSetup& setup);
