#pragma once
// The cases of a parameter study: each --vary gives one input a list of
// values, and the cases are every combination of them, the last input
// varying fastest. Cases are numbered from 1 in that order. A range axis is
// never spelled out: it holds FROM, STEP and its count and gives its k-th
// value when asked, so a plan costs the same memory whatever its size.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/run_command.h"
#include "materials/material_library.h"
#include "materials/project_file.h"
#include "melt/melt_inputs.h"

inline constexpr uint64_t MaxStudyCases = 10'000'000;

// The Input of an axis over materials (--vary Material=LDPE;HDPE): each
// value sets the eleven material inputs at once.
inline constexpr int MaterialAxisInput = InputCount + MeltInputCount;  // after every named input

struct StudyAxis {
  int Input = 0;  // named-input index
  uint64_t Count = 0;
  // A range FROM:TO:STEP: the k-th value is From + k x Step.
  bool IsRange = false;
  double From = 0;
  double Step = 0;
  char DecimalSeparator = '.';
  // A list V1;V2;...: the values as numbers and as typed.
  std::vector<double> Values;
  std::vector<std::string> Texts;
  // A material axis: Texts are the keys or files as typed, Values their
  // positions, and Materials the records once ResolveMaterialAxes found them.
  std::vector<Material> Materials;
};

// "Material" or the input's name.
std::string StudyAxisName(const StudyAxis& axis);

// The k-th value (k from 0 to Count - 1), as the study file shows it.
double StudyAxisValue(const StudyAxis& axis, uint64_t k);
// The same value as the run reads it: the text typed for a list, the
// shortest round-trip text with the locale's separator for a range.
std::string StudyAxisText(const StudyAxis& axis, uint64_t k);

struct StudyPlan {
  std::vector<StudyAxis> Axes;  // the first varies slowest
};

// Reads NAME=FROM:TO:STEP (FROM + k x STEP for k = 0, 1, ... up to TO, with a
// tolerance of a millionth of STEP) or NAME=V1;V2;... (';' in every locale,
// and ',' too where the decimal separator is '.'). Numbers are read as the
// run reads a field; DieMode takes words (V1;V2;... or V1,V2,...). Returns
// nullopt with `error` saying what is wrong, also for a STEP so small that
// two consecutive values are the same number.
// Material=K1;K2;... (',' also separates) lists materials by key or file.
std::optional<StudyAxis> ParseStudyAxis(std::string_view argument, char decimalSeparator,
                                         std::string& error);

// The values an axis will run, as the run reads them, for a person to check
// before the study starts: "2 cases: 200; 300", "91 cases: 100; 110; 120;
// 130; 140; ...; 1000".
std::string StudyAxisPreview(const StudyAxis& axis);

// Finds the records of every material axis in `library` (a value that names
// a file is read from it); returns the first problem, or an empty text.
std::string ResolveMaterialAxes(StudyPlan& plan, const MaterialLibrary& library);

// The number of cases, or MaxStudyCases + 1 when there are more.
uint64_t StudyCaseCount(const StudyPlan& plan);

// The exact number of cases in decimal, however large, for messages.
std::string StudyCaseCountText(const StudyPlan& plan);

// The value index of each axis for case `caseNumber` (1 to the case count).
std::vector<uint64_t> StudyCaseValues(const StudyPlan& plan, uint64_t caseNumber);

// Puts the texts of case `caseNumber` into `texts`; an axis whose input is
// not one of `texts` (a stage input beyond them) is left to the caller. A
// material's m0 is given in the viscosity unit `unitIndex` selects.
void ApplyStudyCase(const StudyPlan& plan, uint64_t caseNumber, RunTexts& texts,
                    int32_t unitIndex = InitialUnitIndex);

// What case `caseNumber` runs: the run's part of `base` (texts, unit,
// separator, material, stage; not a project's document or study setup) with
// the case's values, its Material axis's record in place of base's material.
RunSetup StudyCaseSetup(const StudyPlan& plan, uint64_t caseNumber, const RunSetup& base);

// The same for the melt-conveying stage's inputs: puts the texts of the
// axes that vary a stage input into `texts`.
void ApplyStudyCase(const StudyPlan& plan, uint64_t caseNumber, MeltTexts& texts);

// Whether an axis varies one of the stage's inputs, which turns the stage on.
bool StudyVariesMeltInput(const StudyPlan& plan);

// Which cases one of N machines runs: those whose number modulo Count is
// Index - 1 (Index from 1 to Count).
struct StudyShard {
  uint64_t Index = 1;
  uint64_t Count = 1;
};

// How many cases of `total` fall into `shard`, and the number of its j-th
// case (j from 0).
uint64_t ShardCaseCount(uint64_t total, const StudyShard& shard);
uint64_t ShardCaseNumber(const StudyShard& shard, uint64_t j);
