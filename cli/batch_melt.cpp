#include "batch_melt.h"

#include <algorithm>
#include <cstdio>
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
  char text[200];
  std::snprintf(text, sizeof text, "%.*f %s (bounds %.*f to %.*f)", decimals, figure(MeltBound::BestEstimate), unit,
                decimals, std::min(adiabatic, barrel), decimals, std::max(adiabatic, barrel));
  return text;
}

std::string NotFound(MeltBound bound, const MeltOperatingPoint& point) {
  std::ostringstream text;
  text.imbue(std::locale::classic());
  text << "the operating point of the " << MeltBoundName(bound) << " bound was not found ("
       << OperatingPointStatusName(point.Status) << ", last output " << point.Output << " kg/hr)";
  if (point.Status == OperatingPointStatus::TrialFailed) text << ": " << OutcomeMessage(point.TrialOutcome);
  return text.str();
}

}  // namespace

MeltRequest BatchMeltRequest(const BatchOptions& options, char decimalSeparator) {
  MeltRequest request;
  request.Texts = InitialMeltTexts(decimalSeparator);
  request.OperatingPoint = options.OperatingPoint;
  for (const InputSetting& setting : options.Settings) {
    if (IsMeltInput(setting.Input)) request.Texts[setting.Input - InputCount] = setting.Text;
  }
  return request;
}

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
    out << "Operating point (best estimate): "
        << BestWithBounds([&](MeltBound b) { return OperatingPointOf(points, b).Output; }, 3, "kg/hr") << '\n';
    for (MeltBound b : {MeltBound::Adiabatic, MeltBound::Barrel, MeltBound::BestEstimate}) {
      const MeltOperatingPoint& point = OperatingPointOf(points, b);
      if (point.Status == OperatingPointStatus::Found) continue;
      err << "warning: " << NotFound(b, point) << '\n';
      ++report.WarningCount;
    }
  }
  return report;
}
