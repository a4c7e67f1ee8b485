#pragma once
// The 28 inputs by their model names, with units, for what the batch tool
// reads from its command line and writes for other programs (JSON, studies).

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "model/model_state.h"

struct InputName {
  const char* Name;  // the ModelInputs member
  const char* Unit;  // UTF-8; ViscM0 takes the run's viscosity unit instead
};

inline constexpr std::array<InputName, InputCount> InputNames = {{
    {"ScrewDiameter", "cm"},
    {"FeedTurns", "turns"},
    {"CompressionTurns", "turns"},
    {"MeteringTurns", "turns"},
    {"DelayTurns", "turns"},
    {"FeedDepth", "cm"},
    {"MeteringDepth", "cm"},
    {"ScrewPitch", "cm"},
    {"FlightWidth", "cm"},
    {"ScrewSpeed", "rpm"},
    {"OutputRate", "kg/hr"},
    {"BarrelB0", "\u00B0C"},
    {"BarrelB1", "-"},
    {"BarrelB2", "1/cm"},
    {"ViscM0", "viscosity unit"},
    {"ViscB", "1/\u00B0C"},
    {"ViscN", "-"},
    {"ViscT0", "\u00B0C"},
    {"SolidDensity", "g/cm3"},
    {"MeltDensity", "g/cm3"},
    {"SolidSpecificHeat", "cal/g.\u00B0C"},
    {"HeatOfFusion", "cal/g"},
    {"MeltSpecificHeat", "cal/g.\u00B0C"},
    {"MeltConductivity", "cal/cm.s.\u00B0C"},
    {"MeltingPoint", "\u00B0C"},
    {"SolidInletTemp", "\u00B0C"},
    {"InletCompaction", "-"},
    {"StartWidthRatio", "-"},
}};

// The index of the input called `name` in canonical order; case matters.
std::optional<int> FindInputByName(std::string_view name);

// "ScrewDiameter, FeedTurns, ..., StartWidthRatio": for messages.
std::string InputNameList();

// The unit of input `index`; for ViscM0 the name of the unit index's
// viscosity unit (0 "Pa.s", any other "gf.s/cm2").
std::string InputUnit(int index, int32_t unitIndex);

// "Pa.s" or "gf.s/cm2", as the report's unit note names them.
std::string ViscosityUnitName(int32_t unitIndex);
