#include "batch_melt.h"

#include <algorithm>
#include <cstdio>
#include <cmath>
#include <locale>
#include <sstream>

#include "batch_run.h"
#include "results/input_names.h"

namespace {

// "c UNIT (bounds a to b)": the best estimate's figure first, then the range
// of the two bounds', lower first, all with `decimals` places.
template <typename Figure>
std::string BestWithBounds(const Figure& figure, int decimals, const char* unit) {
  const double adiabatic = figure(MeltBound::Adiabatic);
  const double barrel = figure(MeltBound::Barrel);
  // Huge figures in exponent form: a fixed form would print hundreds of digits.
  auto number = [decimals](double value) {
    char text[64];
    if (std::fabs(value) < 1e9) {
      std::snprintf(text, sizeof text, "%.*f", decimals, value);
    } else {
      std::snprintf(text, sizeof text, "%g", value);
    }
    return std::string(text);
  };
  return number(figure(MeltBound::BestEstimate)) + " " + unit + " (bounds " + number(std::min(adiabatic, barrel)) +
         " to " + number(std::max(adiabatic, barrel)) + ")";
}

std::string NotFound(MeltBound bound, const MeltOperatingPoint& point) {
  std::ostringstream text;
  text.imbue(std::locale::classic());
  text << "the operating point of the " << MeltBoundName(bound) << " bound was not found ("
       << OperatingPointStatusName(point.Status);
  // After a failed trial the output is the trial's, not a figure of the search.
  text << (HasFiguresAtOutput(point.Status) ? ", last output " : ", at the trial output ") << point.Output
       << " kg/hr)";
  if (point.Status == OperatingPointStatus::TrialFailed) text << ": " << OutcomeMessage(point.TrialOutcome);
  return text.str();
}

// One bound's operating point for the summary line: a number only for what
// the search found or the end it searched to, said as what it is.
std::string OperatingPointText(const MeltOperatingPoint& point) {
  std::ostringstream text;
  text.imbue(std::locale::classic());
  switch (point.Status) {
    case OperatingPointStatus::Found:
      text << point.Output << " kg/hr";
      break;
    case OperatingPointStatus::AboveDieEverywhere:
      text << "above the die's need at every output up to " << point.Output << " kg/hr";
      break;
    case OperatingPointStatus::BelowDieEverywhere:
      text << "below the die's need at every output down to " << point.Output << " kg/hr";
      break;
    case OperatingPointStatus::TrialFailed:
      text << "not found, a trial run failed";
      break;
    case OperatingPointStatus::Cancelled:
      text << "not found, cancelled";
      break;
  }
  return text.str();
}

}  // namespace

MeltStageReport ReportMeltStage(const MeltRunResult& result, std::ostream& out, std::ostream& err) {
  MeltStageReport report;
  if (!result.Outcomes.Melt) return report;
  if (!result.StageCompleted()) {
    err << OutcomeMessage(*result.Outcomes.Melt) << '\n';
    report.Status = result.Outcomes.Melt->Result == RunResult::Rejected ? BatchExitRejected : BatchExitFailed;
    return report;
  }
  for (const MeltWarning& warning : result.Stage.Warnings) {
    const bool note = IsMeltNote(warning.Code);
    err << (note ? "note: " : "warning: ") << warning.Text << '\n';
    if (!note) ++report.WarningCount;
  }
  const auto& summary = result.Stage.Summary;
  auto bound = [&](MeltBound b) -> const MeltBoundSummary& { return summary[static_cast<std::size_t>(b)]; };
  out << "Melt stage (best estimate): tip pressure "
      << BestWithBounds([&](MeltBound b) { return bound(b).TipPressure; }, 3, "MPa") << ", die needs "
      << BestWithBounds([&](MeltBound b) { return bound(b).DiePressure; }, 3, "MPa") << ", tip melt temperature "
      << BestWithBounds([&](MeltBound b) { return bound(b).TipMeltTemperature; }, 1, "degC") << '\n';
  if (result.OperatingPoints) {
    const MeltOperatingPoints& points = *result.OperatingPoints;
    const bool allFound = points.Adiabatic.Status == OperatingPointStatus::Found &&
                          points.Barrel.Status == OperatingPointStatus::Found &&
                          points.BestEstimate.Status == OperatingPointStatus::Found;
    if (allFound) {
      out << "Operating point (best estimate): "
          << BestWithBounds([&](MeltBound b) { return OperatingPointOf(points, b).Output; }, 3, "kg/hr") << '\n';
    } else {
      // A search that found nothing shows no number it did not find.
      out << "Operating point (best estimate / adiabatic / barrel): " << OperatingPointText(points.BestEstimate)
          << " / " << OperatingPointText(points.Adiabatic) << " / " << OperatingPointText(points.Barrel) << '\n';
    }
    for (MeltBound b : {MeltBound::Adiabatic, MeltBound::Barrel, MeltBound::BestEstimate}) {
      const MeltOperatingPoint& point = OperatingPointOf(points, b);
      if (point.Status == OperatingPointStatus::Found) continue;
      err << "warning: " << NotFound(b, point) << '\n';
      ++report.WarningCount;
    }
  }
  return report;
}
