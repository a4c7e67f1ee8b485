#include "input_validation.h"

#include <array>
#include <cmath>
#include <cstdio>

#include "axial_grid.h"

namespace {

enum class Check { Positive, NotNegative, Fraction };

struct InputCheck {
  double ModelInputs::*Member;
  Check Rule;
  const char* Message;
};

constexpr std::array<InputCheck, 22> InputChecks = {{
    {&ModelInputs::ScrewDiameter, Check::Positive, "Value of Screw Diameter is not correct!"},
    {&ModelInputs::FeedTurns, Check::Positive, "Value of Turns of Feed Zone is not correct!"},
    {&ModelInputs::CompressionTurns, Check::Positive, "Value of Turns of Compression Zone is not correct!"},
    {&ModelInputs::MeteringTurns, Check::Positive, "Value of Turns of Metering Zone is not correct!"},
    {&ModelInputs::DelayTurns, Check::Positive, "Value of Turns of Delay in Metering is not correct!"},
    {&ModelInputs::FeedDepth, Check::Positive, "Value of Depth of Feed Zone Channel is not correct!"},
    {&ModelInputs::MeteringDepth, Check::Positive, "Value of Depth of Metering Zone Channel is not correct!"},
    {&ModelInputs::ScrewPitch, Check::Positive, "Value of Screw Pitch is not correct!"},
    {&ModelInputs::FlightWidth, Check::Positive, "Value of Flight Width is not correct!"},
    {&ModelInputs::ScrewSpeed, Check::Positive, "Value of Number of Revolution is not correct!"},
    {&ModelInputs::OutputRate, Check::Positive, "Value of Flow Rate is not correct!"},
    {&ModelInputs::BarrelB0, Check::Positive, "Value of Barrel Temp. Para. (C0) is not correct!"},
    {&ModelInputs::SolidDensity, Check::Positive, "Value of Density of Solid is not correct!"},
    {&ModelInputs::MeltDensity, Check::Positive, "Value of Density of Melt is not correct!"},
    {&ModelInputs::SolidSpecificHeat, Check::Positive, "Value of Specific Heat of Solid is not correct!"},
    {&ModelInputs::HeatOfFusion, Check::NotNegative, "Value of Heat of Fusion is not correct!"},
    {&ModelInputs::MeltSpecificHeat, Check::Positive, "Value of Specific Heat of Melt is not correct!"},
    {&ModelInputs::MeltConductivity, Check::Positive, "Value of Thermal Conductivity of Melt is not correct!"},
    {&ModelInputs::MeltingPoint, Check::Positive, "Value of Melting Point is not correct!"},
    {&ModelInputs::SolidInletTemp, Check::Positive, "Value of Solid Temperature at Inlet is not correct!"},
    {&ModelInputs::InletCompaction, Check::Fraction, "Value of Compaction Factor at Inlet is not correct!"},
    {&ModelInputs::StartWidthRatio, Check::Fraction, "Value of Solid Width Ratio at Start is not correct!"},
}};

bool Passes(double value, Check rule) {
  switch (rule) {
    case Check::Positive: return value > 0;
    case Check::NotNegative: return value >= 0;
    case Check::Fraction: return value > 0 && value <= 1;
  }
  return false;
}

std::string CountText(long double count) {
  if (count > 1e9L) return "more than 1000000000";
  char text[32];
  std::snprintf(text, sizeof text, "%.0Lf", count);
  return text;
}

}  // namespace

std::optional<std::string> FirstInvalidInput(const ModelInputs& inputs) {
  for (const InputCheck& check : InputChecks) {
    if (!Passes(inputs.*check.Member, check.Rule)) return std::string(check.Message);
  }
  if (inputs.ResultFileName.empty()) return std::string("Save File Name is not correct!");
  return std::nullopt;
}

std::optional<std::string> GridBoundProblem(const ModelInputs& inputs) {
  const GridCounts counts = ComputeGridCounts(inputs);
  if (counts.Feed < 0) {
    // The words state the check itself: typed values 0.1001 turn apart fall on
    // either side of it, depending on their binary rounding.
    return std::string(
        "Turns of Delay in Melting exceed Turns of Feed Zone so far that (feed turns - delay turns "
        "+ 0.0001) / 0.1 is -1 or less, so melting would start behind the feed zone. Make the "
        "turns of delay at most the turns of the feed zone.");
  }
  const long double points = counts.Feed + counts.Compression + counts.Metering + 1;
  if (points > MaxGridPoints) {
    return "The screw would need " + CountText(points) + " grid points, but at most " +
           std::to_string(MaxGridPoints) +
           " fit (0.1 turn apart in the feed and metering zones, 0.05 turn in the compression zone). "
           "Reduce the turns of the feed, compression or metering zone.";
  }
  return std::nullopt;
}
