#pragma once
// Channels built by hand for the stage's closed-form checks, and the stage
// on the default data file with a few inputs changed.

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "melt/melt_stage.h"

// A straight channel of `Steps` steps with a depth tapering linearly, no
// solid bed, the viscosity law in Pa.s, barrel and melting point at 200 C.
struct TestChannel {
  double ViscosityPaS = 1;  // m0
  double PowerLawIndex = 1;
  double TemperatureCoefficient = 0;  // b
  double BarrelSpeed = 1;             // cm/s
  double HelixDegrees = 20;
  double Width = 1;  // cm
  double StartDepth = 0.1;
  double EndDepth = 0.1;
  double Length = 100;  // cm down the channel
  int Steps = 10;
  double Flow = 0;  // cm3/s
  double Density = 1;
  double SpecificHeat = 0.5;  // cal/(g K)
  double Conductivity = 0;    // cal/(cm s K); 0: no barrel exchange for the best estimate
  // Solid reaches the tip: every point a melting point with an empty bed,
  // so the melt needs no heat capacity (a zero flow is allowed).
  bool SolidToTip = false;
};

std::unique_ptr<ModelState> ChannelState(const TestChannel& channel);

// Scales a flat-plate channel's width and flow by 1e12: the shape factors
// then differ from 1 by less than 1e-13, the pressures stay.
inline constexpr double FlatPlateScale = 1e12;

struct DefaultStageRun {
  std::unique_ptr<ModelState> State = std::make_unique<ModelState>();
  RunTexts Texts;
  MeltTexts Melt;
  MeltRunOutcomes Outcomes;
  MeltStage Stage;
};

// The initial texts (the default data file) with (index, text) settings:
// indices below InputCount set run texts, InputCount + k sets melt text k.
DefaultStageRun RunDefaultStage(const std::vector<std::pair<int, std::string>>& settings);

// `stated` as a figure is printed: the actual value must round to it.
void ExpectFigure(double actual, const std::string& stated, const std::string& what);
