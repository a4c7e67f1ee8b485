#include "batch_inputs.h"

void ApplyDataLineValues(const DataLineValues& values, RunTexts& texts, int32_t& unitIndex,
                         char decimalSeparator) {
  unitIndex = values.UnitIndex;
  for (int k = 0; k < InputCount; ++k) {
    if (!InputFields[k].Fixed) texts[k] = DataFileNumberText(values.Values[k], decimalSeparator);
  }
}
