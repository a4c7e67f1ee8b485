#include "results/study_rows.h"

#include "results/input_names.h"
#include "results/outcome_name.h"
#include "results/number_text.h"

namespace {

constexpr const char* SummaryColumns =
    "outcome,message,melted,melting end (turns),melting end from melting start (cm),"
    "melting end L/D (-),QS/QT at end (-),motor power for melting (kW),net melting energy (kW),"
    "specific energy (kWh/kg),conveying angle (\u00B0),warnings\n";

constexpr int SummaryNumberCount = 8;

std::string JoinedWarnings(const std::vector<std::string>& warnings) {
  std::string joined;
  for (const std::string& warning : warnings) {
    if (!joined.empty()) joined += " | ";
    joined += warning;
  }
  return joined;
}

}  // namespace

std::string CsvField(std::string_view text) {
  std::string field(text);
  for (char& c : field) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  const bool quoted = field.find_first_of(",\"") != std::string::npos ||
                      (!field.empty() && (field.front() == ' ' || field.back() == ' '));
  if (!quoted) return field;
  std::string result = "\"";
  for (char c : field) {
    if (c == '"') result += '"';
    result += c;
  }
  return result + '"';
}

std::string StudyAxesHeader(const StudyPlan& plan, int32_t unitIndex) {
  std::string header = "case,";
  for (const StudyAxis& axis : plan.Axes) {
    header += axis.Input == MaterialAxisInput
                  ? std::string("material")
                  : CsvField(std::string(InputNames[axis.Input].Name) + " (" + InputUnit(axis.Input, unitIndex) + ")");
    header += ',';
  }
  return header;
}

std::string StudyAxesColumns(const StudyPlan& plan, uint64_t caseNumber) {
  std::string row = std::to_string(caseNumber) + ',';
  const std::vector<uint64_t> indexes = StudyCaseValues(plan, caseNumber);
  for (std::size_t a = 0; a < plan.Axes.size(); ++a) {
    const StudyAxis& axis = plan.Axes[a];
    if (axis.Input == MaterialAxisInput) {
      row += CsvField(indexes[a] < axis.Materials.size() ? axis.Materials[indexes[a]].Key : axis.Texts[indexes[a]]);
    } else {
      row += IsWordInput(axis.Input) ? CsvField(StudyAxisText(axis, indexes[a]))
                                     : RoundTripText(StudyAxisValue(axis, indexes[a]));
    }
    row += ',';
  }
  return row;
}

std::string StudyOutcomeHeader() { return SummaryColumns; }

std::string StudyHeader(const StudyPlan& plan, int32_t unitIndex) {
  return StudyAxesHeader(plan, unitIndex) + SummaryColumns;
}

std::string StudyRow(const StudyPlan& plan, uint64_t caseNumber, const RunOutcome& outcome,
                     const RunSummary& summary, const std::string& note) {
  return StudyAxesColumns(plan, caseNumber) + StudyOutcomeColumns(outcome, summary, note);
}

std::string StudyOutcomeColumns(const RunOutcome& outcome, const RunSummary& summary, const std::string& note) {
  std::string row = OutcomeName(outcome.Result);
  row += ',';
  if (outcome.Result != RunResult::Completed) {
    row += CsvField(OutcomeMessage(outcome));
    row.append(SummaryNumberCount + 2, ',');
    return row + '\n';
  }
  row += CsvField(note);
  row += summary.Melted ? ",true" : ",false";
  const double numbers[SummaryNumberCount] = {
      summary.EndTurns,     summary.EndDistance,      summary.EndLengthRatio, summary.EndSolidFraction,
      summary.MeltingPower, summary.NetMeltingEnergy, summary.SpecificEnergy, summary.ConveyingAngleDegrees};
  for (double number : numbers) {
    row += ',';
    row += RoundTripText(number);
  }
  row += ',';
  row += CsvField(JoinedWarnings(summary.Warnings));
  return row + '\n';
}
