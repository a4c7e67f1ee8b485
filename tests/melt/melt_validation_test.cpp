// The stage's equations against closed forms and published answers, on
// channels built by hand, and its numerics (taper, energy balance).
#include <gtest/gtest.h>

#include <cmath>

#include "melt/shape_factors.h"
#include "melt_test_channel.h"

namespace {

constexpr double Pi = 3.141592653589793;
constexpr int A = static_cast<int>(MeltBound::Adiabatic);
constexpr int B = static_cast<int>(MeltBound::Barrel);

MeltStage RunStage(const TestChannel& channel, const MeltInputs& inputs = {}) {
  const auto state = ChannelState(channel);
  MeltStage stage;
  const RunOutcome outcome = RunMeltStage(*state, inputs, stage);
  EXPECT_EQ(outcome.Result, RunResult::Completed) << outcome.Message;
  return stage;
}

// Berk's example 15.1: drag flow and the output against a 1.3 MPa head,
// flat plate.
TEST(MeltValidation, BerkExample) {
  TestChannel c;
  c.ViscosityPaS = 5;
  c.BarrelSpeed = Pi * 10 * 6;
  c.HelixDegrees = 20;
  c.Width = 5 * FlatPlateScale;
  c.StartDepth = c.EndDepth = 0.2;
  c.Length = 120;
  MeltInputs head;
  head.DieMode = DieMode::HeadPressure;
  head.DieHeadPressure = 1.3;

  c.Flow = 81.342 * FlatPlateScale;
  const MeltStage atHead = RunStage(c, head);
  ExpectFigure(atHead.Common.DragCapacity / 3.6 / FlatPlateScale, "88.564", "drag flow");
  // 81.342 is stated to 5e-4 cm3/s, which the channel turns into 1e-4 MPa.
  EXPECT_NEAR(atHead.Summary[B].PressureMargin, 0, 1e-4);
  EXPECT_NEAR(atHead.Summary[A].PressureMargin, 0, 1e-4);

  c.Flow = 88.564 * FlatPlateScale;
  EXPECT_NEAR(RunStage(c).Summary[B].TipPressure, 0, 1e-4);
}

// Groover's closed forms: maximum pressure at zero output, and the
// operating point with a capillary die, flat plate, isothermal.
TEST(MeltValidation, GrooverClosedForms) {
  const double d = 12, n = 1, h = 0.65, eta = 2000, length = 280, theta = 17 * Pi / 180;
  const double dieDiameter = 0.35, dieLength = 1.25;
  const double qMax = 0.5 * Pi * Pi * d * d * n * h * std::sin(theta) * std::cos(theta);
  const double pMax = 6 * Pi * d * n * length * eta / std::tan(theta) / (h * h);
  const double ks = Pi * std::pow(dieDiameter, 4) / (128 * eta * dieLength);
  const double p = qMax / (qMax / pMax + ks);
  ExpectFigure(qMax, "129.14", "Qmax");
  ExpectFigure(pMax / 1e7, "98.06", "pmax");
  ExpectFigure(ks * 1e7, "1.4732", "Ks");  // cm3/(s dyn/cm2) = 1e-5 m3/(s Pa); stated x 1e-12
  ExpectFigure(p / 1e7, "46.29", "p");
  ExpectFigure(ks * p, "68.19", "Q");

  TestChannel c;
  c.ViscosityPaS = eta / 10;
  c.BarrelSpeed = Pi * d * n;
  c.HelixDegrees = 17;
  c.Width = Pi * d * std::sin(theta) * FlatPlateScale;
  c.StartDepth = c.EndDepth = h;
  c.Length = length / std::sin(theta);
  c.SolidToTip = true;  // a zero flow needs no heat capacity
  EXPECT_NEAR(RunStage(c).Summary[B].TipPressure, pMax / 1e7, 1e-11 * pMax / 1e7);

  MeltInputs die;
  die.DieMode = DieMode::Capillary;
  die.DieDiameter = dieDiameter * std::pow(FlatPlateScale, 0.25);
  die.DieLength = dieLength;
  c.Flow = ks * p * FlatPlateScale;
  const MeltStage atPoint = RunStage(c, die);
  EXPECT_NEAR(atPoint.Summary[B].DiePressure, p / 1e7, 1e-10 * p / 1e7);
  EXPECT_NEAR(atPoint.Summary[B].PressureMargin, 0, 1e-10 * p / 1e7);
}

// The flow a tapered channel delivers against a fixed pressure rise, flat
// plate with the example's width (pi D sin - e): the trapezoid rule
// converges at second order. The stated flows are met to 1e-4 cm3/s.
TEST(MeltValidation, TaperConvergesAtSecondOrder) {
  const double theta = 20 * Pi / 180;
  TestChannel c;
  c.ViscosityPaS = 1.2e5;
  c.BarrelSpeed = Pi * 8;
  c.HelixDegrees = 20;
  c.Width = (Pi * 8 * std::sin(theta) - 0.8) * FlatPlateScale;
  c.StartDepth = 1.5;
  c.EndDepth = 0.2;
  c.Length = 192 / std::sin(theta);
  auto flowAt = [&](int steps) {
    c.Steps = steps;
    c.Flow = 10 * FlatPlateScale;
    const double p1 = RunStage(c).Summary[B].TipPressure;
    c.Flow = 40 * FlatPlateScale;
    const double p2 = RunStage(c).Summary[B].TipPressure;
    return 10 + (18.753 - p1) * 30 / (p2 - p1);  // the pressure is linear in the flow
  };
  const double q100 = flowAt(100), q200 = flowAt(200), q400 = flowAt(400);
  EXPECT_NEAR(q400, 32.4693, 1e-4);
  EXPECT_NEAR((q200 - q100) / (q400 - q200), 4.0, 0.02);
  // The grid holds 600 steps; 800 follow from the error's order.
  EXPECT_NEAR(q400 + (q400 - q200) / 4, 32.4713, 1e-4);
}

// The default screw's metering zone at 290 C: pressure rise, shaft power,
// heat and the melt's temperature rise.
TestChannel DefaultMetering(double b, int steps) {
  const double theta = std::atan(15.0 / (Pi * 15));
  TestChannel c;
  c.ViscosityPaS = 2.052 * 98.0665;  // gf.s/cm2 in Pa.s
  c.PowerLawIndex = 0.835;
  c.TemperatureCoefficient = b;
  c.BarrelSpeed = Pi * 15 * 38 / 60;
  c.HelixDegrees = theta * 180 / Pi;
  c.Width = (15 - 1.5) * std::cos(theta);
  c.StartDepth = c.EndDepth = 0.4;
  c.Length = 8.7 * Pi * 15 / std::cos(theta);
  c.Steps = steps;
  c.Flow = 300 / 3.6 / 1.2;
  c.Density = 1.2;
  c.SpecificHeat = 0.48;
  return c;
}

TEST(MeltValidation, DefaultMeteringZoneIsothermal) {
  const MeltStage s = RunStage(DefaultMetering(0, 87));
  ExpectFigure(s.Summary[B].TipPressure, "1.5727", "pressure rise");
  ExpectFigure(s.Summary[B].MeltConveyingPower * 1000, "1666.6", "shaft power W");
  ExpectFigure(*s.Summary[B].EnergyResidual * 1000, "1557.4", "heat W");
  ExpectFigure(s.Summary[A].TipMeltTemperature - *s.Summary[A].MeltStartTemperature, "9.30", "temperature rise");
}

TEST(MeltValidation, AdiabaticEnergyCloses) {
  const MeltStage isothermal = RunStage(DefaultMetering(0, 40));
  EXPECT_LT(std::fabs(*isothermal.Summary[A].EnergyResidual / isothermal.Summary[A].MeltConveyingPower), 1e-13);
  // With a temperature-dependent viscosity the residual is the Heun
  // steps' error: second order.
  const MeltStage coarse = RunStage(DefaultMetering(0.036, 40));
  const MeltStage fine = RunStage(DefaultMetering(0.036, 80));
  EXPECT_LT(std::fabs(*coarse.Summary[A].EnergyResidual / coarse.Summary[A].MeltConveyingPower), 2e-5);
  EXPECT_NEAR(*coarse.Summary[A].EnergyResidual / *fine.Summary[A].EnergyResidual, 4.0, 0.1);
}

TEST(MeltValidation, DragFlowGivesAFlatProfile) {
  TestChannel c = DefaultMetering(0.036, 30);
  c.Density = 1;
  c.Flow = 50;
  c.Flow = *RunStage(c).Points[0].DragFlowRate;
  MeltInputs start;
  start.MeltStartPressure = 2;
  for (const MeltPoint& p : RunStage(c, start).Points) {
    for (int k : {A, B}) {
      EXPECT_EQ(p.Bounds[k].Gradient, 0);
      EXPECT_EQ(p.Bounds[k].Pressure, 2);
    }
  }
}

// The power-law dies equal their closed pressure drops at the tip temperature.
TEST(MeltValidation, DiesMatchPowerLawDrops) {
  const double m0 = 2.052 * 980.665, b = 0.036, n = 0.835, q = 300 / 3.6 / 1.2;
  for (const char* mode : {"Capillary", "Slit"}) {
    SCOPED_TRACE(mode);
    const DefaultStageRun run = RunDefaultStage({{InputCount + DieModeInput, mode}});
    for (const MeltBoundSummary& s : run.Stage.Summary) {
      const double m = m0 * std::exp(-b * (s.TipMeltTemperature - 290));
      double drop = 0;
      if (std::string(mode) == "Capillary") {
        const double r = 0.25, length = 2;
        drop = 2 * m * length / r * std::pow((3 * n + 1) * q / (Pi * n * r * r * r), n);
      } else {
        const double w = 10, g = 0.2, length = 2;
        drop = 2 * m * length / g * std::pow((2 * n + 1) / (3 * n) * 6 * q / (w * g * g), n) /
               ChannelShapeFactors(g, w).Pressure;
      }
      EXPECT_NEAR(s.DiePressure, drop / 1e7, 1e-12 * drop / 1e7);
    }
  }
}

}  // namespace
