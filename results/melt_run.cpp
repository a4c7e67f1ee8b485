#include "results/melt_run.h"

#include "results/number_text.h"

MeltRunResult RunWithMelt(ModelState& state, const RunTexts& texts, int32_t unitIndex, UserMessages& messages,
                          char decimalSeparator, ReportWriting report, const MeltRequest& request,
                          const OperatingPointSettings& search) {
  MeltRunResult result;
  result.Outcomes =
      RunWithMeltStage(state, texts, unitIndex, messages, decimalSeparator, report, request.Texts, result.Stage);
  if (request.OperatingPoint && result.StageCompleted()) {
    result.OperatingPoints =
        FindOperatingPoints(texts, unitIndex, decimalSeparator, request.Texts, result.Stage, search);
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
