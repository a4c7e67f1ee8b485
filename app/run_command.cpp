#include "run_command.h"

#include <exception>

#include "app/fault_explanation.h"
#include "app/run_figures.h"
#include "model/calculation.h"
#include "model/float_faults.h"
#include "model/input_validation.h"
#include "model/number_conversion.h"
#include "report/result_file.h"

namespace {

constexpr double PaSViscousHeatFactor = 2.389e-07;
constexpr double PaSPowerFactor = 1e-06;
constexpr double GfSViscousHeatFactor = 2.343e-05;
constexpr double GfSPowerFactor = 9.8e-05;

RunOutcome Rejected(std::string message) { return {RunResult::Rejected, std::move(message), {}}; }

void SetViscosityUnit(ModelState& state, int32_t unitIndex) {
  if (unitIndex == 0) {
    state.Inputs.ViscosityUnit = ViscosityUnit::PaS;
    state.ViscousHeatFactor = PaSViscousHeatFactor;
    state.PowerFactor = PaSPowerFactor;
  } else {
    state.Inputs.ViscosityUnit = ViscosityUnit::GfSPerCm2;
    state.ViscousHeatFactor = GfSViscousHeatFactor;
    state.PowerFactor = GfSPowerFactor;
  }
}

}  // namespace

std::string InitialInputText(int k, char decimalSeparator) {
  std::string text = InputFields[k].InitialText;
  for (char& c : text)
    if (c == '.') c = decimalSeparator;
  return text;
}

RunTexts InitialRunTexts(char decimalSeparator) {
  RunTexts texts;
  for (int k = 0; k < InputCount; ++k) texts[k] = InitialInputText(k, decimalSeparator);
  texts[InputCount] = InitialResultFileName;
  return texts;
}

std::optional<int> FirstUnconvertibleInput(const RunTexts& texts, char decimalSeparator) {
  for (int k = 0; k < InputCount; ++k) {
    if (!ConvertNumber(texts[k], decimalSeparator)) return k;
  }
  return std::nullopt;
}

std::string OutcomeMessage(const RunOutcome& outcome) {
  if (outcome.Explanation.empty()) return outcome.Message;
  return outcome.Message + ". " + outcome.Explanation;
}

namespace {

class NoMessages : public UserMessages {
 public:
  void ShowMessage(const std::string&) override {}
};

RunOutcome CheckedRun(ModelState& state, const RunTexts& texts, int32_t unitIndex, UserMessages& messages,
                      char decimalSeparator, ReportWriting report, const std::optional<double>& outputRate) {
  // The run owns the flags raised from here on, by its conversions and its
  // explanation of a fault too; none of them reaches the caller's next check.
  const FloatFaultScope scope;
  // Every text is converted and stored before any value is judged.
  for (int k = 0; k < InputCount; ++k) {
    const std::optional<double> value = ConvertNumber(texts[k], decimalSeparator);
    if (!value) return Rejected("Input value is not correct!");
    state.Inputs.*InputMembers[k] = *value;
  }
  state.Inputs.ResultFileName = texts[InputCount];

  if (std::optional<std::string> problem = FirstInvalidInput(state.Inputs)) return Rejected(*problem);
  if (std::optional<std::string> problem = GridBoundProblem(state.Inputs)) return Rejected(*problem);

  SetViscosityUnit(state, unitIndex);
  if (outputRate) state.Inputs.OutputRate = *outputRate;

  try {
    RunCalculation(state);
    CheckRunFigures(state);
    if (report == ReportWriting::Write) WriteReport(state, messages, decimalSeparator);
  } catch (const FloatFault& fault) {
    return {RunResult::Failed, fault.what(), ExplainFault(state, decimalSeparator)};
  } catch (const std::exception& error) {
    return {RunResult::Failed, error.what(), {}};
  }
  return {RunResult::Completed, {}, {}};
}

}  // namespace

RunOutcome RunCommand(ModelState& state, const RunTexts& texts, int32_t unitIndex, UserMessages& messages,
                      char decimalSeparator, ReportWriting report) {
  return CheckedRun(state, texts, unitIndex, messages, decimalSeparator, report, std::nullopt);
}

RunOutcome RunCommandAtOutput(ModelState& state, const RunTexts& texts, int32_t unitIndex, double outputRate,
                              char decimalSeparator) {
  NoMessages messages;  // no report is written, so nothing is shown
  return CheckedRun(state, texts, unitIndex, messages, decimalSeparator, ReportWriting::Skip, outputRate);
}
