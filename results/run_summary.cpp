#include "results/run_summary.h"

#include <algorithm>

#include "results/number_text.h"

namespace {

// Ratios a screw designer would not draw; a screw past them is a typing
// slip more often than a design (README, "What the warnings mean").
constexpr long double SmallestPitchRatio = 0.5L;  // pitch over diameter
constexpr long double LargestPitchRatio = 2.0L;
constexpr long double ChannelDepthsPerDiameter = 3.0L;  // the deepest channel is a third of the diameter
constexpr long double WidestFlightRatio = 0.5L;         // flight width over pitch

std::string Percent(double fraction) { return FixedText(fraction * 100.0, 0) + " %"; }

std::string Centimetres(double value, int decimals) { return FixedText(value, decimals) + " cm"; }

void AddInputWarnings(const ModelInputs& in, std::vector<std::string>& warnings) {
  // Compared in extended range: a ratio of two doubles can overflow a double.
  const long double pitch = in.ScrewPitch;
  const long double diameter = in.ScrewDiameter;
  if (pitch < SmallestPitchRatio * diameter || pitch > LargestPitchRatio * diameter) {
    warnings.push_back("The screw pitch (" + Centimetres(in.ScrewPitch, 1) + ") is " +
                       (pitch < SmallestPitchRatio * diameter ? "less than half" : "more than twice") +
                       " the diameter (" + Centimetres(in.ScrewDiameter, 1) +
                       "); screws are made with a pitch of half to twice the diameter. Check the pitch.");
  }
  const struct {
    const char* Zone;
    double Depth;
  } channels[] = {{"feed", in.FeedDepth}, {"metering", in.MeteringDepth}};
  for (const auto& channel : channels) {
    if (ChannelDepthsPerDiameter * channel.Depth > diameter) {
      warnings.push_back(std::string("The ") + channel.Zone + " zone channel (" + Centimetres(channel.Depth, 2) +
                         " deep) is deeper than a third of the diameter (" + Centimetres(in.ScrewDiameter, 1) +
                         "): the screw's root would be too thin to carry the drive. Check the depth.");
    }
  }
  if (static_cast<long double>(in.FlightWidth) > pitch * WidestFlightRatio) {
    warnings.push_back("The flight width (" + Centimetres(in.FlightWidth, 2) + ") is more than half the pitch (" +
                       Centimetres(in.ScrewPitch, 1) +
                       "): the flight would take more of each turn than the channel. Check the flight width.");
  }
  if (in.MeteringDepth > in.FeedDepth) {
    warnings.push_back("The metering zone channel (" + Centimetres(in.MeteringDepth, 2) +
                       " deep) is deeper than the feed zone channel (" + Centimetres(in.FeedDepth, 2) +
                       " deep): the screw would open up the channel instead of compressing the bed. Check the depths.");
  }
}

void AddResultWarnings(const ModelState& state, double rawEndFraction, RunSummary& summary) {
  const int rows = std::clamp<int>(state.Profile.RowCount, 0, MaxGridPoints);
  const double angle = summary.ConveyingAngleDegrees;
  if (!(angle > 0.0 && angle < 90.0)) {
    summary.Warnings.push_back(
        "The solid conveying angle is " + AngleDegreesText(angle) +
        "\u00B0, outside 0\u00B0 to 90\u00B0: the screw cannot convey this output at this speed. "
        "Lower the output or raise the screw speed.");
  }

  int widest = -1;
  for (int i = 0; i < rows; ++i) {
    if (state.Profile.WidthRatio[i] > 1.0 &&
        (widest < 0 || state.Profile.WidthRatio[i] > state.Profile.WidthRatio[widest])) {
      widest = i;
    }
  }
  if (widest >= 0) {
    summary.Warnings.push_back(
        "X/W rises above 1 (" + FixedText(state.Profile.WidthRatio[widest], 3) + " at turn " +
        FixedText(state.Grid.Flight[widest], 2) +
        "): the solid bed would be wider than the channel, which the model does not describe.");
  }

  if (summary.MeltingPower < 0.0) {
    summary.Warnings.push_back("The motor power for melting is negative (" +
                               FixedText(summary.MeltingPower, 4) +
                               " kW): no real screw runs this way; the result is not physical.");
  }

  // One step from where melting starts: the walk has no point in between.
  if (summary.Melted && summary.EndPoint == 1) {
    summary.Warnings.push_back("The grid is too coarse for this output: melting ends within one step (turn " +
                               FixedText(state.Grid.Flight[0], 2) + " to " + FixedText(summary.EndTurns, 2) +
                               "); the figures are not reliable.");
  }
  if (summary.Melted && rawEndFraction < 0.0) {
    summary.Warnings.push_back("The solid fraction after the last step is negative (QS/QT " +
                               FixedText(rawEndFraction, 4) + " at turn " + FixedText(summary.EndTurns, 2) +
                               "): the step melts more solid than is left, so the grid is too coarse for this "
                               "output. The summary shows 0; the figures are not reliable.");
  }

  if (!summary.Melted && rows > 0) {
    summary.Warnings.push_back(
        "Solid is left at the end of the screw: " + Percent(summary.EndSolidFraction) +
        " of the solid is unmelted at turn " + FixedText(summary.EndTurns, 2) +
        ". Lower the output, raise the barrel temperature or lengthen the screw.");
  }
}

}  // namespace

RunSummary SummarizeRun(const ModelState& state) {
  RunSummary summary;
  const MeltingProfile& profile = state.Profile;

  summary.MeltingPower = profile.MeltingPower;
  summary.NetMeltingEnergy = profile.NetMeltingEnergy;
  summary.SpecificEnergy = SpecificEnergyOf(state);
  summary.ConveyingAngleDegrees = ConveyingAngleDegreesOf(state);

  const MeltingEnd end = MeltingEndOf(state);
  summary.Melted = end.Melted;
  summary.EndPoint = end.Point;
  double rawEndFraction = 0;
  if (end.Point >= 0) {
    summary.EndTurns = state.Grid.Flight[end.Point];
    summary.EndDistance = AxialDistanceAt(state, end.Point);
    summary.EndLengthRatio = LengthRatioAt(state, end.Point);
    // The walk stores no solid fraction at the point that crossed the threshold.
    rawEndFraction = end.Melted ? SolidFractionAt(state, end.Point) : profile.SolidFraction[end.Point];
    summary.EndSolidFraction = std::max(rawEndFraction, 0.0);
  }
  AddInputWarnings(state.Inputs, summary.Warnings);
  AddResultWarnings(state, rawEndFraction, summary);
  return summary;
}

std::string SummaryVerdict(const RunSummary& summary) {
  if (summary.EndPoint < 0) return "no grid point";
  if (summary.Melted) return "melted at turn " + FixedText(summary.EndTurns, 1);
  return "solid left at the screw end: " + Percent(summary.EndSolidFraction);
}
