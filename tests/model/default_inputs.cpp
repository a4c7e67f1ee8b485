#include "default_inputs.h"

#include <cstdio>
#include <stdexcept>

#include "model/float_faults.h"
#include "model/input_fields.h"
#include "model/number_conversion.h"

ModelState DefaultState() {
  ModelState state;
  for (int k = 0; k < InputCount; ++k) {
    const auto value = ConvertNumber(InputFields[k].InitialText);
    if (!value) throw std::logic_error("initial text does not convert");
    state.Inputs.*InputMembers[k] = *value;
  }
  state.Inputs.ResultFileName = InitialResultFileName;
  state.Inputs.ViscosityUnit = ViscosityUnit::GfSPerCm2;
  state.ViscousHeatFactor = 2.343e-05;
  state.PowerFactor = 9.8e-05;
  ClearFloatFaults();  // as a run does before its first formula
  return state;
}

std::string Significant(double value, int digits) {
  char text[40];
  std::snprintf(text, sizeof text, "%.*g", digits, value);
  return text;
}
