#include "results/melt_run.h"

#include "results/number_text.h"

MeltRunResult RunWithMelt(ModelState& state, const RunSetup& setup, UserMessages& messages, ReportWriting report,
                          bool operatingPoint, const OperatingPointSettings& search) {
  MeltRunResult result;
  if (!setup.MeltStage) {
    result.Outcomes.Run = RunCommand(state, setup.Texts, setup.UnitIndex, messages, setup.DecimalSeparator, report);
    return result;
  }
  result.Outcomes = RunWithMeltStage(state, setup.Texts, setup.UnitIndex, messages, setup.DecimalSeparator, report,
                                     setup.Melt, result.Stage);
  if (operatingPoint && result.StageCompleted()) {
    result.OperatingPoints =
        FindOperatingPoints(setup.Texts, setup.UnitIndex, setup.DecimalSeparator, setup.Melt, result.Stage, search);
  }
  return result;
}

std::string OperatingPointOutputText(double output, char decimalSeparator) {
  std::string text = FixedText(output, OperatingPointDecimals);
  for (char& c : text) {
    if (c == '.') c = decimalSeparator;
  }
  return text;
}
