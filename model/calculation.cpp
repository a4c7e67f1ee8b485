#include "calculation.h"

#include "axial_grid.h"
#include "float_faults.h"
#include "melting_profile.h"
#include "operating_point.h"

void RunCalculation(ModelState& state) {
  ClearFloatFaults();
  state.Working.Step = -1;  // a fault before the walk must not point at an earlier run's step
  const ModelInputs& in = state.Inputs;
  ComputeOperatingPoint(state);
  state.Operating.MeltStartBedTemp = MeltStartBedTemperature(in.SolidInletTemp, in.MeltingPoint, in.InletCompaction,
                                                             in.SolidSpecificHeat, in.HeatOfFusion);
  ComputeMeltingHeat(state);
  SolveConveyingAngle(state, state.Operating.ConveyingAngle);
  ComputeBedVelocity(state);
  BuildAxialGrid(state);
  ComputeMeltingProfile(state);
}
