// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A material as a run reads it: the eleven input texts, and what the run's
// barrel temperature means for the material's law.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/run_command.h"
#include "materials/material.h"

// m0 in the unit the run's unit index selects (0 Pa.s^n, any other
// gf.s^n/cm2): the record's value when the units agree, otherwise converted.
double MaterialM0(const Material& material, int32_t unitIndex);

// The texts of inputs 14 to 24 for a run with `unitIndex`, each the shortest
// text that reads back to the value, with `decimalSeparator`.
std::array<std::string, MaterialValueCount> MaterialInputTexts(const Material& material, int32_t unitIndex,
                                                               char decimalSeparator = '.');

// Puts MaterialInputTexts into texts 14 to 24.
void ApplyMaterial(const Material& material, RunTexts& texts, int32_t unitIndex, char decimalSeparator = '.');

// The warnings for a run of `material` at barrel temperature `barrel` (degC):
// the barrel outside the fit window (the law is extrapolated), the barrel not
// above the melting point. In the user's terms, one sentence each.
std::vector<std::string> MaterialWarnings(const Material& material, double barrel);

// MaterialWarnings at the run's BarrelB0 as `texts` give it; none when the
// text is not a number (the run refuses it).
std::vector<std::string> MaterialWarnings(const Material& material, const RunTexts& texts, char decimalSeparator);

// The note for a material carrying estimates (quality C), naming the values;
// empty when it has none.
std::string MaterialEstimateNote(const Material& material);

// What a run of a material says beside the run's own summary: the warnings
// at its BarrelB0 and the note on its estimates, the words chung-batch prints.
struct MaterialRemarks {
  std::vector<std::string> Warnings;
  std::string Note;  // empty: no estimates
};

MaterialRemarks MaterialRemarksOf(const Material& material, const RunTexts& texts, char decimalSeparator);
