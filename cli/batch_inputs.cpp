#include "batch_inputs.h"

void ApplyDataLineValues(const DataLineValues& values, RunTexts& texts, int32_t& unitIndex) {
  unitIndex = values.UnitIndex;
  for (int k = 0; k < InputCount; ++k) {
    if (!InputFields[k].Fixed) texts[k] = values.Values[k];
  }
}
