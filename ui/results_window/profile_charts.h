#pragma once
// The two charts of the results window, built from a completed run.

class QChart;
struct RunSnapshot;

// X/W and QS/QT against the position in turns, the zones shaded and the end
// of melting (or the screw end, with solid left) marked.
QChart* MeltingChart(const RunSnapshot& run);

// Melt film thickness and channel depth (cm) and barrel temperature (°C)
// against the position in turns.
QChart* ConditionsChart(const RunSnapshot& run);
