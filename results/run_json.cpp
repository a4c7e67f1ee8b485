#include "results/run_json.h"

#include <algorithm>
#include <nlohmann/json.hpp>
#include <optional>

#include "model/number_conversion.h"
#include "results/input_names.h"
#include "results/melt_json.h"
#include "results/outcome_name.h"
#include "results/run_summary.h"

using Json = nlohmann::ordered_json;

namespace {

constexpr int JsonFormatVersion = 1;

Json Quantity(double value, const char* unit) { return Json{{"value", value}, {"unit", unit}}; }

Json Input(const std::string& text, char decimalSeparator, const std::string& unit) {
  const std::optional<double> value = ConvertNumber(text, decimalSeparator);
  return Json{{"text", text}, {"value", value ? Json(*value) : Json(nullptr)}, {"unit", unit}};
}

Json Inputs(const RunTexts& texts, int32_t unitIndex, char decimalSeparator, const MeltRunJson* melt) {
  Json inputs = Json::object();
  for (int k = 0; k < InputCount; ++k) {
    inputs[InputNames[k].Name] = Input(texts[k], decimalSeparator, InputUnit(k, unitIndex));
  }
  if (melt) {
    for (int k = 0; k < MeltInputCount; ++k) {
      inputs[InputNames[InputCount + k].Name] =
          Input(melt->Texts[k], decimalSeparator, InputUnit(InputCount + k, unitIndex));
    }
  }
  return inputs;
}

Json Summary(const ModelState& state) {
  const RunSummary summary = SummarizeRun(state);
  return Json{{"Melted", summary.Melted},
              {"EndPoint", summary.EndPoint},
              {"EndTurns", Quantity(summary.EndTurns, "turns")},
              {"EndDistance", Quantity(summary.EndDistance, "cm")},
              {"EndLengthRatio", Quantity(summary.EndLengthRatio, "-")},
              {"EndSolidFraction", Quantity(summary.EndSolidFraction, "-")},
              {"MeltingPower", Quantity(summary.MeltingPower, "kW")},
              {"NetMeltingEnergy", Quantity(summary.NetMeltingEnergy, "kW")},
              {"SpecificEnergy", Quantity(summary.SpecificEnergy, "kWh/kg")},
              {"ConveyingAngleDegrees", Quantity(summary.ConveyingAngleDegrees, "\u00B0")},
              {"Verdict", SummaryVerdict(summary)},
              {"Warnings", summary.Warnings}};
}

// The columns of the profile CSV, under the model's names.
Json Profile(const ModelState& state) {
  const AxialGrid& grid = state.Grid;
  const MeltingProfile& profile = state.Profile;
  const int rows = std::clamp<int>(profile.RowCount, 0, MaxGridPoints);
  Json table = Json::array();
  for (int i = 0; i < rows; ++i) {
    table.push_back(Json::array({i, grid.Flight[i], grid.Depth[i], profile.FilmThickness[i],
                                 profile.WidthRatio[i], profile.SolidFraction[i], grid.BarrelTemp[i],
                                 AxialDistanceAt(state, i), grid.ChannelLength[i], profile.BedWidth[i],
                                 profile.SolidFlow[i]}));
  }
  return Json{{"columns", {"point", "Flight", "Depth", "FilmThickness", "WidthRatio", "SolidFraction",
                           "BarrelTemp", "AxialDistance", "ChannelLength", "BedWidth", "SolidFlow"}},
              {"units", {"-", "turns", "cm", "cm", "-", "-", "\u00B0C", "cm", "cm", "cm", "cm3/s"}},
              {"rows", std::move(table)}};
}

}  // namespace

std::string RunJson(const RunTexts& texts, int32_t unitIndex, char decimalSeparator,
                    const RunOutcome& outcome, const ModelState& state, const MeltRunJson* melt) {
  const bool completed = outcome.Result == RunResult::Completed;
  const Json run{{"format", "chung-batch run"},
                 {"version", JsonFormatVersion},
                 {"inputs", Inputs(texts, unitIndex, decimalSeparator, melt)},
                 {"viscosity_unit", ViscosityUnitName(unitIndex)},
                 {"outcome", OutcomeName(outcome.Result)},
                 {"message", OutcomeMessage(outcome)},
                 {"summary", completed ? Summary(state) : Json(nullptr)},
                 {"profile", completed ? Profile(state) : Json(nullptr)},
                 {"melt", melt && melt->Stage ? MeltJson(*melt->Stage, melt->OperatingPoints) : Json(nullptr)}};
  // Invalid UTF-8 in a text (a data file is read as bytes) is replaced
  // rather than refused, so the file is always valid JSON.
  return run.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}
