#pragma once
// What the results window says of the run it shows besides the summary: the
// inputs that run was given, whether it is still the latest run and whether
// its report was written, and the caption saved charts carry.

#include <QString>

struct RunSnapshot;

// The 28 inputs as they were typed for the run, with the viscosity unit m0
// was read in.
QString RunInputsHtml(const RunSnapshot& run);

// Red lines above the summary: that a later run was refused or failed
// (`staleReason`, empty when the shown run is the latest), and that the
// report was not written. Empty when there is nothing to warn of.
QString RunStatusHtml(const RunSnapshot& run, const QString& staleReason);

// One line under a saved chart: the run's key inputs and its time.
QString ChartCaption(const RunSnapshot& run);
