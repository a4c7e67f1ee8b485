#include "operating_point.h"

#include <cmath>
#include <stdexcept>

#include "float_faults.h"

namespace {

constexpr long double Pi = 3.14159265358979323846264338327950288L;
constexpr double StartAngle = 0.017453292519943295;      // 1 degree
constexpr double StartAngleStep = 0.008726646259971648;  // 0.5 degree
constexpr double AngleTolerance = 3.490658503988659e-05; // 0.002 degree

}  // namespace

void ComputeOperatingPoint(ModelState& state) {
  const ModelInputs& in = state.Inputs;
  OperatingPoint& op = state.Operating;
  op.MassRate = Checked(in.OutputRate / 3.6L, "MassRate");
  op.SolidVolumeRate = Checked((in.OutputRate / 3.6L) / in.SolidDensity, "SolidVolumeRate");
  op.RevsPerSecond = Checked(in.ScrewSpeed / 60.0L, "RevsPerSecond");
  op.HelixAngle = Checked(std::atan(in.ScrewPitch / (Pi * in.ScrewDiameter)), "HelixAngle");
  op.ChannelWidth =
      Checked(std::cos((long double)op.HelixAngle) * ((long double)in.ScrewPitch - in.FlightWidth), "ChannelWidth");
}

double MeltStartBedTemperature(double solidInletTemp, double meltingPoint, double inletCompaction,
                               double solidSpecificHeat, double heatOfFusion) {
  const long double phi = inletCompaction;
  return Checked(phi * solidInletTemp + (1.0L - phi) * meltingPoint +
                     ((1.0L - phi) / solidSpecificHeat) * heatOfFusion,
                 "MeltStartBedTemp");
}

void ComputeMeltingHeat(ModelState& state) {
  const ModelInputs& in = state.Inputs;
  OperatingPoint& op = state.Operating;
  op.MeltingHeat = Checked(((long double)in.MeltingPoint - op.MeltStartBedTemp) * in.SolidSpecificHeat +
                               in.HeatOfFusion,
                           "MeltingHeat");
}

double ConveyingBalance(double angle, double solidVolumeRate, double revsPerSecond, double channelWidth,
                        double feedDepth, double screwDiameter, double helixAngle) {
  const long double section = ((Pi * channelWidth) * feedDepth) * ((long double)screwDiameter - feedDepth);
  const long double a = angle;
  return Checked((long double)solidVolumeRate / revsPerSecond -
                     section * std::sin(a) / std::sin(a + helixAngle),
                 "ConveyingAngle");
}

int SolveConveyingAngle(const ModelState& state, double& conveyingAngle) {
  const ModelInputs& in = state.Inputs;
  const OperatingPoint& op = state.Operating;
  auto residual = [&](double angle) {
    return ConveyingBalance(angle, op.SolidVolumeRate, op.RevsPerSecond, op.ChannelWidth, in.FeedDepth,
                            in.ScrewDiameter, op.HelixAngle);
  };

  double xPrev = StartAngle;
  double xCur = Checked((long double)StartAngle + StartAngleStep, "ConveyingAngle");
  double fPrev = residual(xPrev);
  double fCur = residual(xCur);
  for (int step = 1; step <= MaxConveyingSteps; ++step) {
    const double slope = Checked(((long double)fCur - fPrev) / ((long double)xCur - xPrev), "ConveyingAngle");
    const double intercept = Checked(fCur - (long double)slope * xCur, "ConveyingAngle");
    const double xNew = Checked(-(long double)intercept / slope, "ConveyingAngle");
    const double fNew = residual(xNew);
    xPrev = xCur;
    fPrev = fCur;
    xCur = xNew;
    fCur = fNew;
    if (std::fabs((long double)xCur - xPrev) < AngleTolerance) {
      conveyingAngle = xCur;
      return step;
    }
  }
  throw std::runtime_error("The solid conveying angle did not converge within " +
                           std::to_string(MaxConveyingSteps) +
                           " steps; check the screw geometry, the screw speed and the output.");
}

void ComputeBedVelocity(ModelState& state) {
  const ModelInputs& in = state.Inputs;
  OperatingPoint& op = state.Operating;
  const long double helix = op.HelixAngle;
  op.BedVelocity = Checked(std::sin(helix) * ((Pi * op.RevsPerSecond) * in.ScrewDiameter) /
                               std::sin((long double)op.ConveyingAngle + helix),
                           "BedVelocity");
}
