// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How the windows name a material and sum up what it rests on, as plain
// text (the main window's control, the materials window, the results'
// captions).

#include <QString>
#include <string>

#include "materials/material.h"

// The main window's first choice: no record, the program's initial texts.
inline constexpr const char* InitialMaterialName = "PET (initial values)";
inline constexpr const char* InitialMaterialFacts =
    "PET (initial values): the program's own material data, m0 as typed in either unit";
// A project's material values that come without a record.
inline constexpr const char* ProjectMaterialName = "Material values of the project";
inline constexpr const char* ProjectMaterialFacts =
    "Material values of the project: no material record, the values as the project holds them";

// The record's name, or its key when it has none.
std::string MaterialDisplayName(const Material& material);

// One line of the material list: "LDPE  LDPE (...)  [built-in, quality AABBBCAB]".
std::string MaterialChoiceText(const Material& material);

// "LDPE: typical barrel 200 °C; fitted 120–240 °C, 300–10000 1/s; melting
// point 110 °C (DSC peak)", numbers in the shown decimal separator; short
// enough for the main window's line under the picture, which leaves out
// what the melting point is when it has no room for it.
QString MaterialFactsText(const Material& material, bool withKind = true);

// What the quality letters mean, in the order QualitySummary gives them.
std::string QualityLettersExplained();
