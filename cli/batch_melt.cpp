#include "batch_melt.h"

#include <locale>
#include <sstream>

#include "batch_run.h"
#include "results/input_names.h"

namespace {

// "a / b" of the two bounds' figure, as the summary line prints them.
template <typename Figure>
std::string BothBounds(const Figure& figure) {
  std::ostringstream text;
  text.imbue(std::locale::classic());
  text << figure(MeltBound::Adiabatic) << " / " << figure(MeltBound::Barrel);
  return text.str();
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
  out << "Melt stage (adiabatic / barrel): tip pressure "
      << BothBounds([&](MeltBound b) { return bound(b).TipPressure; }) << " MPa, die needs "
      << BothBounds([&](MeltBound b) { return bound(b).DiePressure; }) << " MPa, tip melt temperature "
      << BothBounds([&](MeltBound b) { return bound(b).TipMeltTemperature; }) << " \u00B0C\n";
  if (result.OperatingPoints) {
    const MeltOperatingPoints& points = *result.OperatingPoints;
    const bool bothFound = points.Adiabatic.Status == OperatingPointStatus::Found &&
                           points.Barrel.Status == OperatingPointStatus::Found;
    out << "Operating point (adiabatic / barrel): ";
    if (bothFound) {
      out << BothBounds([&](MeltBound b) {
        return (b == MeltBound::Adiabatic ? points.Adiabatic : points.Barrel).Output;
      }) << " kg/hr\n";
    } else {
      out << OperatingPointText(points.Adiabatic) << " / " << OperatingPointText(points.Barrel) << '\n';
    }
    for (MeltBound b : {MeltBound::Adiabatic, MeltBound::Barrel}) {
      const MeltOperatingPoint& point = b == MeltBound::Adiabatic ? points.Adiabatic : points.Barrel;
      if (point.Status == OperatingPointStatus::Found) continue;
      err << "warning: " << NotFound(b, point) << '\n';
      ++report.WarningCount;
    }
  }
  return report;
}
