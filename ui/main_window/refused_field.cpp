#include "ui/main_window/refused_field.h"

#include <optional>

#include "model/axial_grid.h"
#include "model/input_validation.h"
#include "model/number_conversion.h"

namespace {

constexpr int FeedTurnsIndex = 1;
constexpr int CompressionTurnsIndex = 2;
constexpr int MeteringTurnsIndex = 3;
constexpr int DelayTurnsIndex = 4;

// The initial values pass every check: a value put among them fails only by itself.
ModelInputs InitialInputs() {
  const RunTexts texts = InitialRunTexts();
  ModelInputs inputs;
  for (int k = 0; k < InputCount; ++k) inputs.*InputMembers[k] = ConvertNumber(texts[k]).value_or(0.0);
  inputs.ResultFileName = texts[ResultFileNameIndex];
  return inputs;
}

}  // namespace

int RefusedFieldIndex(const RunTexts& texts, char decimalSeparator) {
  ModelInputs inputs;
  for (int k = 0; k < InputCount; ++k) {
    const std::optional<double> value = ConvertNumber(texts[k], decimalSeparator);
    if (!value) return k;
    inputs.*InputMembers[k] = *value;
  }
  inputs.ResultFileName = texts[ResultFileNameIndex];

  const ModelInputs initial = InitialInputs();
  for (int k = 0; k < InputCount; ++k) {
    ModelInputs probe = initial;
    probe.*InputMembers[k] = inputs.*InputMembers[k];
    if (FirstInvalidInput(probe)) return k;
  }
  if (FirstInvalidInput(inputs)) return ResultFileNameIndex;

  if (!GridBoundProblem(inputs)) return -1;
  const GridCounts counts = ComputeGridCounts(inputs);
  if (counts.Feed < 0) return DelayTurnsIndex;
  if (counts.Metering >= counts.Feed && counts.Metering >= counts.Compression) return MeteringTurnsIndex;
  return counts.Compression >= counts.Feed ? CompressionTurnsIndex : FeedTurnsIndex;
}
