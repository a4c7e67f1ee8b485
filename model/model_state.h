#pragma once
// The one record a run works on: inputs, unit factors, operating point, grid,
// melting profile and the melting stage's working values. It starts zeroed and
// is never cleared between runs; array entries a run does not write keep what
// an earlier run left there.

#include <array>
#include <cstdint>
#include <string>

inline constexpr int MaxGridPoints = 601;  // entries 0 to 600

enum class ViscosityUnit : int32_t { PaS = 0, GfSPerCm2 = 1 };

using GridArray = std::array<double, MaxGridPoints>;

struct ModelInputs {
  // The 28 numeric inputs in their canonical order.
  double ScrewDiameter = 0;
  double FeedTurns = 0;
  double CompressionTurns = 0;
  double MeteringTurns = 0;
  double DelayTurns = 0;
  double FeedDepth = 0;
  double MeteringDepth = 0;
  double ScrewPitch = 0;
  double FlightWidth = 0;
  double ScrewSpeed = 0;
  double OutputRate = 0;
  double BarrelB0 = 0;
  double BarrelB1 = 0;
  double BarrelB2 = 0;
  double ViscM0 = 0;
  double ViscB = 0;
  double ViscN = 0;
  double ViscT0 = 0;
  double SolidDensity = 0;
  double MeltDensity = 0;
  double SolidSpecificHeat = 0;
  double HeatOfFusion = 0;
  double MeltSpecificHeat = 0;
  double MeltConductivity = 0;
  double MeltingPoint = 0;
  double SolidInletTemp = 0;
  double InletCompaction = 0;
  double StartWidthRatio = 0;

  ::ViscosityUnit ViscosityUnit = ::ViscosityUnit::PaS;
  std::string ResultFileName;
};

inline constexpr int InputCount = 28;

// The numeric inputs in canonical order, for code that walks them as a list.
inline constexpr std::array<double ModelInputs::*, InputCount> InputMembers = {
    &ModelInputs::ScrewDiameter,    &ModelInputs::FeedTurns,         &ModelInputs::CompressionTurns,
    &ModelInputs::MeteringTurns,    &ModelInputs::DelayTurns,        &ModelInputs::FeedDepth,
    &ModelInputs::MeteringDepth,    &ModelInputs::ScrewPitch,        &ModelInputs::FlightWidth,
    &ModelInputs::ScrewSpeed,       &ModelInputs::OutputRate,        &ModelInputs::BarrelB0,
    &ModelInputs::BarrelB1,         &ModelInputs::BarrelB2,          &ModelInputs::ViscM0,
    &ModelInputs::ViscB,            &ModelInputs::ViscN,             &ModelInputs::ViscT0,
    &ModelInputs::SolidDensity,     &ModelInputs::MeltDensity,       &ModelInputs::SolidSpecificHeat,
    &ModelInputs::HeatOfFusion,     &ModelInputs::MeltSpecificHeat,  &ModelInputs::MeltConductivity,
    &ModelInputs::MeltingPoint,     &ModelInputs::SolidInletTemp,    &ModelInputs::InletCompaction,
    &ModelInputs::StartWidthRatio,
};

struct OperatingPoint {
  double MassRate = 0;         // g/s
  double SolidVolumeRate = 0;  // cm3/s
  double RevsPerSecond = 0;    // 1/s
  double HelixAngle = 0;       // rad
  double ChannelWidth = 0;     // cm
  double ConveyingAngle = 0;   // rad
  double MeltStartBedTemp = 0; // degrees C
  double MeltingHeat = 0;      // cal/g
  double BedVelocity = 0;      // cm/s
  double BarrelSpeed = 0;      // cm/s, set by the melting stage
};

struct AxialGrid {
  int32_t FeedPoints = 0;
  int32_t CompressionPoints = 0;
  int32_t MeteringPoints = 0;
  GridArray Flight{};         // turns from the hopper end
  GridArray Depth{};          // cm
  GridArray ChannelLength{};  // cm down the channel from point 0
  GridArray BarrelTemp{};     // degrees C
};

struct MeltingProfile {
  GridArray BedSpan{};
  GridArray FilmThickness{};
  GridArray BedWidth{};
  GridArray SolidFlow{};
  GridArray WidthRatio{};
  GridArray SolidFraction{};
  int32_t RowCount = 0;
  double MeltingPower = 0;      // kW
  double NetMeltingEnergy = 0;  // kW
};

// Values of the last melting step computed; only the melting stage reads them,
// but for Step, which also tells an explanation of a fault where the walk was.
struct MeltingWorkingValues {
  int32_t Step = -1;  // the step being computed, from point Step to Step + 1; -1 before the walk
  double ChannelSpan = 0;
  double ViscTempGroup = 0;
  double ViscTempFactor = 0;
  double FilmViscosity = 0;
  double ConvectionGroup = 0;
  double ViscousHeatingGroup = 0;
  double MeltingRootFactor = 0;
  double MeltingRateRatio = 0;
  double MeltingRate = 0;
  double MeltedVolume = 0;
  double BarrelConsistency = 0;
  double ShearTerm = 0;
  double StepShearForce = 0;
  double StepPower = 0;
};

struct ModelState {
  ModelInputs Inputs;
  double ViscousHeatFactor = 0;
  double PowerFactor = 0;
  OperatingPoint Operating;
  AxialGrid Grid;
  MeltingProfile Profile;
  MeltingWorkingValues Working;
};
