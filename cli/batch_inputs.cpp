#include "batch_inputs.h"

RunTexts InitialRunTexts() {
  RunTexts texts;
  for (int k = 0; k < InputCount; ++k) texts[k] = InputFields[k].InitialText;
  texts[InputCount] = InitialResultFileName;
  return texts;
}

void ApplyDataLineValues(const DataLineValues& values, RunTexts& texts, int32_t& unitIndex) {
  unitIndex = values.UnitIndex;
  for (int k = 0; k < InputCount; ++k) {
    if (!InputFields[k].Fixed) texts[k] = values.Values[k];
  }
}
