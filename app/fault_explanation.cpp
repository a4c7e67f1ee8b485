#include "app/fault_explanation.h"

#include "app/run_figures.h"
#include "report/format_number.h"

namespace {

constexpr long double HalfTurnRadians = 3.14159265358979323846264338327950288L;

// Numbers as the report shows their inputs: temperatures and lengths in
// fixed form, the coefficient b in exponent form.
std::string Fixed(double value, int digits, char separator) {
  return FormatNumber(value, NumberForm::FixedForm, 9, digits, separator);
}

std::string Celsius(double value, char separator, int digits = 1) {
  return Fixed(value, digits, separator) + " \u00B0C";
}

std::string Centimetres(double value, int digits, char separator) {
  return Fixed(value, digits, separator) + " cm";
}

// The screw's geometry fails before or during any stage, so it comes first.
std::string GeometryProblem(const ModelInputs& in, char separator) {
  if (in.FlightWidth >= in.ScrewPitch) {
    return "The flight width (" + Centimetres(in.FlightWidth, 2, separator) +
           ") is not less than the screw pitch (" + Centimetres(in.ScrewPitch, 1, separator) +
           "), so the channel has no width: make the flight width smaller than the pitch.";
  }
  if (in.FeedDepth >= in.ScrewDiameter) {
    return "The feed zone channel (" + Centimetres(in.FeedDepth, 2, separator) +
           " deep) is not shallower than the screw diameter (" +
           Centimetres(in.ScrewDiameter, 1, separator) +
           "): make the depth of the feed zone channel less than the diameter.";
  }
  if (in.MeteringDepth >= in.ScrewDiameter) {
    return "The metering zone channel (" + Centimetres(in.MeteringDepth, 2, separator) +
           " deep) is not shallower than the screw diameter (" +
           Centimetres(in.ScrewDiameter, 1, separator) +
           "): make the depth of the metering zone channel less than the diameter.";
  }
  return {};
}

// Causes of a fault inside the melting walk, at the step it was computing.
std::string WalkProblem(const ModelState& state, char separator) {
  const ModelInputs& in = state.Inputs;
  const int32_t step = state.Working.Step;

  if (state.Operating.MeltingHeat <= 0) {
    // MeltingHeat = compaction x ((melting point - inlet) x specific heat + heat of fusion).
    const double limit = in.MeltingPoint + in.HeatOfFusion / in.SolidSpecificHeat;
    // Two decimals: the inlet and the limit must not read alike when they differ.
    return "The solid at the inlet (" + Celsius(in.SolidInletTemp, separator, 2) +
           ") is so far above the melting point (" + Celsius(in.MeltingPoint, separator) +
           ") that it needs no heat to melt: lower the solid temperature at inlet below " +
           Celsius(limit, separator, 2) + " (melting point + heat of fusion / specific heat of the solid).";
  }
  if (state.Grid.BarrelTemp[step] <= in.MeltingPoint) {
    const std::string change = in.BarrelB1 == 0 ? "raise B0" : "raise B0, change B1 or B2,";
    return "The barrel (" + Celsius(state.Grid.BarrelTemp[step], separator) + " at turn " +
           Fixed(state.Grid.Flight[step], 2, separator) + ") is not hotter than the melting point (" +
           Celsius(in.MeltingPoint, separator) + "): " + change + " or lower the melting point.";
  }
  if (in.ViscN == 0) {
    return "The power-law index n of the viscosity law (" + Fixed(in.ViscN, 4, separator) +
           ") is zero, and the film's temperature group divides by it: set n above 0.";
  }
  if (in.ViscN == 2) {
    return "The power-law index n of the viscosity law (" + Fixed(in.ViscN, 4, separator) +
           ") makes the shear term divide by 2 - n = 0: set n below 2.";
  }
  if (in.ViscB == 0) {
    return "The temperature coefficient b of the viscosity law (" +
           FormatNumber(in.ViscB, NumberForm::ExponentForm, 5, 2, separator) +
           ") is zero, which leaves the film's temperature factor undefined (0/0): set b above 0.";
  }
  const double angle = state.Operating.ConveyingAngle;
  if (!(angle > 0 && angle < HalfTurnRadians / 2)) {
    const double degrees = static_cast<double>(static_cast<long double>(angle) * 180.0L / HalfTurnRadians);
    return "The solid conveying angle came out at " +
           AngleDegreesText(degrees, separator) +
           "\u00B0, outside 0\u00B0 to 90\u00B0: the screw cannot convey this output at this screw speed, "
           "so the melting model has no solution. Lower the output or raise the screw speed.";
  }
  return {};
}

}  // namespace

std::string ExplainFault(const ModelState& state, char decimalSeparator) {
  std::string problem = GeometryProblem(state.Inputs, decimalSeparator);
  const int32_t step = state.Working.Step;
  if (problem.empty() && step >= 0 && step < MaxGridPoints) problem = WalkProblem(state, decimalSeparator);
  return problem;
}
