#pragma once
// What an engineer reads first from a completed run: where melting ends, the
// power figures, and warnings where the inputs or the result lie outside what
// a screw has or the model can describe. Shared by the window and the batch tool.

#include <cstdint>
#include <string>
#include <vector>

#include "app/run_figures.h"
#include "model/model_state.h"

struct RunSummary {
  // True when less than 2 % of the solid was left within the grid.
  bool Melted = false;
  // The grid point where melting ends: the first with less than 2 % of the
  // solid left (grid point RowCount, one past the report's last row), or the
  // last grid point when solid is left; -1 when the report has no row. Every
  // End figure below belongs to this one point.
  int32_t EndPoint = -1;
  double EndTurns = 0;         // position of EndPoint as the report's FLIGHT column counts it
  double EndDistance = 0;      // cm, axial distance of EndPoint from where melting starts
  double EndLengthRatio = 0;   // L/D: axial distance of EndPoint from the hopper end over the diameter
  double EndSolidFraction = 0; // QS/QT at EndPoint (below 0.02 once melted; never below 0)
  double MeltingPower = 0;     // kW
  double NetMeltingEnergy = 0; // kW
  double SpecificEnergy = 0;   // kWh per kg of output: net melting energy over output
  double ConveyingAngleDegrees = 0;
  std::vector<std::string> Warnings;  // plain sentences, in a fixed order
};

// `state` must hold a completed run.
RunSummary SummarizeRun(const ModelState& state);

// One line for a picture or a status: "melted at turn 18.7" or
// "solid left at the screw end: 76 %".
std::string SummaryVerdict(const RunSummary& summary);
