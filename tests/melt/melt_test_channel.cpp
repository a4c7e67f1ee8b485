#include "melt_test_channel.h"

#include <gtest/gtest.h>

#include <cmath>

#include "model/float_faults.h"

namespace {

constexpr double Pi = 3.141592653589793;

class NoMessages : public UserMessages {
 public:
  void ShowMessage(const std::string&) override {}
};

}  // namespace

std::unique_ptr<ModelState> ChannelState(const TestChannel& c) {
  auto state = std::make_unique<ModelState>();
  ModelInputs& in = state->Inputs;
  in.ViscM0 = c.ViscosityPaS;
  in.ViscN = c.PowerLawIndex;
  in.ViscB = c.TemperatureCoefficient;
  in.ViscT0 = 200;
  in.MeltDensity = c.Density;
  in.MeltSpecificHeat = c.SpecificHeat;
  in.MeltConductivity = c.Conductivity;
  in.ScrewSpeed = 60;  // the stage reads only that the screw turns
  in.MeltingPoint = 200;
  in.ViscosityUnit = ViscosityUnit::PaS;
  state->Operating.MassRate = c.Flow * c.Density;
  state->Operating.HelixAngle = c.HelixDegrees * Pi / 180;
  state->Operating.ChannelWidth = c.Width;
  state->Operating.BarrelSpeed = c.BarrelSpeed;
  AxialGrid& grid = state->Grid;
  grid.FeedPoints = c.Steps;
  for (int j = 0; j <= c.Steps; ++j) {
    grid.Flight[j] = j;
    grid.Depth[j] = c.StartDepth + (c.EndDepth - c.StartDepth) * j / c.Steps;
    grid.ChannelLength[j] = c.Length * j / c.Steps;
    grid.BarrelTemp[j] = 200;
  }
  state->Profile.RowCount = c.SolidToTip ? c.Steps + 1 : 0;
  ClearFloatFaults();
  return state;
}

DefaultStageRun RunDefaultStage(const std::vector<std::pair<int, std::string>>& settings) {
  DefaultStageRun run;
  run.Texts = InitialRunTexts();
  run.Melt = InitialMeltTexts();
  for (const auto& [index, text] : settings) {
    if (index < InputCount) {
      run.Texts[index] = text;
    } else {
      run.Melt[index - InputCount] = text;
    }
  }
  NoMessages messages;
  run.Outcomes = RunWithMeltStage(*run.State, run.Texts, InitialUnitIndex, messages, '.', ReportWriting::Skip,
                                  run.Melt, run.Stage);
  return run;
}

void ExpectFigure(double actual, const std::string& stated, const std::string& what) {
  const size_t point = stated.find('.');
  const int decimals = point == std::string::npos ? 0 : static_cast<int>(stated.size() - point - 1);
  // Half a unit of the last stated digit, and a little for the stated value's own rounding.
  EXPECT_NEAR(actual, std::stod(stated), 0.5000001 * std::pow(10.0, -decimals)) << what;
}
