// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A polymer as the melting model needs it: the eleven material inputs with
// the unit m0 is given in, what the values rest on (quality, sources) and
// where the viscosity law holds (its fit window). Read from and written to a
// JSON file of its own (docs/material.schema.json); no Qt.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/model_state.h"

// The eleven material inputs, in canonical order: named inputs 14 to 24.
enum class MaterialValue {
  ViscM0,
  ViscB,
  ViscN,
  ViscT0,
  SolidDensity,
  MeltDensity,
  SolidSpecificHeat,
  HeatOfFusion,
  MeltSpecificHeat,
  MeltConductivity,
  MeltingPoint,
};
inline constexpr int MaterialValueCount = 11;
inline constexpr int FirstMaterialInput = 14;  // ViscM0's place among the 28 inputs

// ViscM0 is named by the unit index; 1 gf.s^n/cm2 = 98.0665 Pa.s^n.
inline constexpr long double PascalPerGramForcePerCm2 = 98.0665L;

// The names a file uses for the eleven values and their units, as written.
struct MaterialValueName {
  const char* Name;  // the ModelInputs member
  const char* Unit;  // ViscM0 accepts "gf.s^n/cm2" and "Pa.s^n"
};
inline constexpr std::array<MaterialValueName, MaterialValueCount> MaterialValueNames = {{
    {"ViscM0", "gf.s^n/cm2"},
    {"ViscB", "1/C"},
    {"ViscN", "-"},
    {"ViscT0", "C"},
    {"SolidDensity", "g/cm3"},
    {"MeltDensity", "g/cm3"},
    {"SolidSpecificHeat", "cal/(g.C)"},
    {"HeatOfFusion", "cal/g"},
    {"MeltSpecificHeat", "cal/(g.C)"},
    {"MeltConductivity", "cal/(cm.s.C)"},
    {"MeltingPoint", "C"},
}};
inline constexpr const char* PascalM0Unit = "Pa.s^n";

enum class PolymerClass { SemiCrystalline, Amorphous };

// A: a full table read; B: an excerpt, a transcription or a room-temperature
// proxy; C: an estimate; Default: the program's own initial value.
enum class ValueQuality { A, B, C, Default };

// Quality is given for the viscosity law as a whole (m0, b, n, T0) and for
// each of the seven other values.
inline constexpr int QualityGroupCount = 8;
inline constexpr std::array<const char*, QualityGroupCount> QualityGroupNames = {
    "viscosity",    "SolidDensity",     "MeltDensity",      "SolidSpecificHeat",
    "HeatOfFusion", "MeltSpecificHeat", "MeltConductivity", "MeltingPoint"};
// The quality group of value `value`.
int QualityGroupOf(MaterialValue value);

// The viscosity law a datasheet gives, which the fit turns into the
// program's law mu = m0 exp(-b (T - T0)) gamma^(n-1). Temperatures of the
// Cross laws in K, all viscosities in Pa.s, stresses in Pa.
enum class SourceLawKind {
  CrossWlf,        // eta0 = D1 exp(-A1 (T - D2) / (A2 + T - D2))
  CrossArrhenius,  // eta0 = B exp(Tb / T)
  PowerLaw,        // mu = K exp(-beta T) gamma^(n-1), T in degC
};
struct SourceViscosityLaw {
  SourceLawKind Kind = SourceLawKind::CrossWlf;
  double N = 0;        // Cross: the shear-thinning index; PowerLaw: n
  double TauStar = 0;  // Cross: Pa
  double D1 = 0, D2 = 0, A1 = 0, A2 = 0;  // Cross-WLF: Pa.s, K, -, K
  double B = 0, Tb = 0;                    // Cross-Arrhenius: Pa.s, K
  double K = 0, Beta = 0;                  // PowerLaw: Pa.s^n, 1/degC
  std::string Description;                 // the source's own words, optional
};

struct ValueRange {
  double Low = 0;
  double High = 0;
};

// Where the viscosity law was fitted, and how well it matched its source.
struct FitWindow {
  ValueRange Temperature;  // degC
  ValueRange ShearRate;    // 1/s
  std::optional<double> RmsPercent;
  std::optional<double> MaxPercent;
};

// The melting end an independent calculation found on the default screw with
// this material (B0 = the typical barrel temperature, B1 = B2 = 0, unit
// index 1).
struct ReferenceRun {
  double MeltingEndTurn = 0;
  std::optional<double> MotorPower;        // kW
  std::optional<double> NetMeltingEnergy;  // kW
  std::optional<ValueRange> FilmShearRate;  // 1/s
  std::string Conditions;
};

enum class MaterialOrigin { BuiltIn, User, File };

struct Material {
  std::string Key;  // letters, digits, '-', '_' and '.'; the file name without .json
  std::string Name;
  std::string Grade;     // optional
  std::string Supplier;  // optional
  PolymerClass Class = PolymerClass::SemiCrystalline;
  std::array<double, MaterialValueCount> Values{};  // in MaterialValueNames' units
  ViscosityUnit M0Unit = ViscosityUnit::GfSPerCm2;  // the unit Values[ViscM0] is given in
  std::string MeltingPointKind;  // "DSC peak", or a flow temperature for amorphous polymers
  double TypicalBarrelTemp = 0;  // degC
  FitWindow Fit;
  std::array<ValueQuality, QualityGroupCount> Quality{};
  std::optional<SourceViscosityLaw> SourceLaw;
  std::optional<ReferenceRun> Reference;
  std::vector<std::string> Sources;
  std::string Notes;

  // Not in the file: where the record was read from.
  MaterialOrigin Origin = MaterialOrigin::File;
  std::string Path;

  double Value(MaterialValue value) const { return Values[static_cast<int>(value)]; }
};

// Whether `name` is a member a material file's top level may hold.
bool IsMaterialMember(std::string_view name);

// Files larger than this are refused before they are parsed.
inline constexpr std::uintmax_t MaxMaterialFileBytes = 1 << 20;

// Checks every field of `material`; returns the first problem as a sentence
// that names the field ("values.SolidDensity must be greater than 0, not
// -0.92"), or an empty text.
std::string MaterialProblem(const Material& material);

// Reads one material from JSON text: every member checked, unknown members
// refused. On failure returns nothing and sets `error` to a sentence naming
// the member.
std::optional<Material> ParseMaterialJson(std::string_view text, std::string& error);

// Reads a material file (at most MaxMaterialFileBytes); `error` names the
// file and the member. The record's Origin is File and Path the path given.
std::optional<Material> ReadMaterialFile(const std::string& path, std::string& error);

// The record as the file holds it: pretty-printed JSON ending in a line end.
std::string MaterialJson(const Material& material);

// Writes `material` to `path` whole or not at all, after MaterialProblem;
// returns an empty text or the reason.
std::string WriteMaterialFile(const std::string& path, const Material& material);

// "A", "B", "C" or "default"; the quality's file text.
const char* QualityText(ValueQuality quality);
// "semi-crystalline" or "amorphous".
const char* PolymerClassText(PolymerClass polymerClass);
// The quality letters of the record in group order, "-" for a default:
// "BABBCABA".
std::string QualitySummary(const Material& material);
// The names of the values whose quality is C ("viscosity law, HeatOfFusion"),
// empty when there are none.
std::string EstimatedValues(const Material& material);
