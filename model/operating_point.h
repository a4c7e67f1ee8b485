#pragma once
// The operating point of the screw, the solid bed at melting start and the
// solid conveying angle with the bed velocity that follows from it.

#include "model_state.h"

// Secant steps allowed before the conveying angle counts as not converging.
inline constexpr int MaxConveyingSteps = 1000;

void ComputeOperatingPoint(ModelState& state);

double MeltStartBedTemperature(double solidInletTemp, double meltingPoint, double inletCompaction,
                               double solidSpecificHeat, double heatOfFusion);

void ComputeMeltingHeat(ModelState& state);

// Residual of the solid conveying balance at the trial angle, cm3 per revolution.
double ConveyingBalance(double angle, double solidVolumeRate, double revsPerSecond, double channelWidth,
                        double feedDepth, double screwDiameter, double helixAngle);

// Secant iteration on ConveyingBalance; returns the number of steps taken.
// Throws when it does not converge within MaxConveyingSteps.
int SolveConveyingAngle(const ModelState& state, double& conveyingAngle);

void ComputeBedVelocity(ModelState& state);
