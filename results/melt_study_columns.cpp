#include "results/melt_study_columns.h"

#include "results/number_text.h"
#include "results/outcome_name.h"
#include "results/study_rows.h"

namespace {

constexpr const char* BoundColumns[] = {"tip pressure (MPa)", "peak pressure (MPa)", "die pressure (MPa)",
                                        "pressure margin (MPa)", "tip melt temperature (\u00B0C)"};
constexpr int BoundColumnCount = 5;
constexpr const char* BoundPrefixes[MeltBoundCount] = {"adiabatic ", "barrel bound ", "best estimate "};

// The number of fields after the message: five per bound, two more per bound
// with the operating point, then the warnings.
int FigureCount(bool operatingPoint) { return MeltBoundCount * (BoundColumnCount + (operatingPoint ? 2 : 0)) + 1; }

std::string JoinedCodes(const MeltStage& stage) {
  std::string codes;
  for (const MeltWarning& warning : stage.Warnings) {
    if (!codes.empty()) codes += " | ";
    codes += MeltWarningCodeName(warning.Code);
    if (warning.Bound) codes += std::string(" (") + MeltBoundName(*warning.Bound) + ")";
  }
  return codes;
}

}  // namespace

std::string MeltStudyHeader(bool operatingPoint) {
  std::string header = ",melt outcome,melt message";
  for (const char* prefix : BoundPrefixes) {
    for (const char* column : BoundColumns) header += std::string(",") + prefix + column;
  }
  if (operatingPoint) {
    for (const char* prefix : BoundPrefixes) {
      header += std::string(",") + prefix + "operating point (kg/hr)";
      header += std::string(",") + prefix + "operating point status";
    }
  }
  return header + ",melt warnings";
}

std::string MeltStudyFields(const MeltRunResult& result, bool operatingPoint) {
  std::string fields = ",";
  if (result.Outcomes.Run.Result != RunResult::Completed || !result.Outcomes.Melt) {
    return fields + std::string(static_cast<std::size_t>(FigureCount(operatingPoint)) + 1, ',');
  }
  const RunOutcome& melt = *result.Outcomes.Melt;
  fields += OutcomeName(melt.Result);
  fields += ',';
  if (!result.StageCompleted()) {
    fields += CsvField(OutcomeMessage(melt));
    return fields + std::string(static_cast<std::size_t>(FigureCount(operatingPoint)), ',');
  }
  for (const MeltBoundSummary& bound : result.Stage.Summary) {
    for (double value : {bound.TipPressure, bound.PeakPressure, bound.DiePressure, bound.PressureMargin,
                         bound.TipMeltTemperature}) {
      fields += ',';
      fields += RoundTripText(value);
    }
  }
  if (operatingPoint && result.OperatingPoints) {
    for (int b = 0; b < MeltBoundCount; ++b) {
      const MeltOperatingPoint& point = OperatingPointOf(*result.OperatingPoints, static_cast<MeltBound>(b));
      fields += ',';
      if (HasFiguresAtOutput(point.Status)) fields += RoundTripText(point.Output);
      fields += ',';
      fields += OperatingPointStatusName(point.Status);
    }
  } else if (operatingPoint) {
    fields += std::string(2 * MeltBoundCount, ',');
  }
  fields += ',';
  fields += CsvField(JoinedCodes(result.Stage));
  return fields;
}
