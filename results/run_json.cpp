#include "results/run_json.h"

#include <algorithm>
#include <nlohmann/json.hpp>
#include <optional>

#include "model/number_conversion.h"
#include "results/input_names.h"
#include "results/material_json.h"
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

Json Inputs(const RunSetup& setup) {
  Json inputs = Json::object();
  for (int k = 0; k < InputCount; ++k) {
    inputs[InputNames[k].Name] = Input(setup.Texts[k], setup.DecimalSeparator, InputUnit(k, setup.UnitIndex));
  }
  if (setup.MeltStage) {
    for (int k = 0; k < MeltInputCount; ++k) {
      inputs[InputNames[InputCount + k].Name] =
          Input(setup.Melt[k], setup.DecimalSeparator, InputUnit(InputCount + k, setup.UnitIndex));
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

std::string RunJson(const RunSetup& setup, const RunOutcome& outcome, const ModelState& state,
                    const MeltRunResult* melt) {
  const bool completed = outcome.Result == RunResult::Completed;
  const bool stage = melt && melt->StageCompleted();
  const Json run{{"format", "chung-batch run"},
                 {"version", JsonFormatVersion},
                 {"inputs", Inputs(setup)},
                 {"viscosity_unit", ViscosityUnitName(setup.UnitIndex)},
                 {"outcome", OutcomeName(outcome.Result)},
                 {"message", OutcomeMessage(outcome)},
                 {"summary", completed ? Summary(state) : Json(nullptr)},
                 {"profile", completed ? Profile(state) : Json(nullptr)},
                 {"melt", stage ? MeltJson(melt->Stage, melt->OperatingPoints ? &*melt->OperatingPoints : nullptr)
                                : Json(nullptr)}};
  // Invalid UTF-8 in a text (a data file is read as bytes) is replaced
  // rather than refused, so the file is always valid JSON.
  return WithMaterialMember(run.dump(2, ' ', false, Json::error_handler_t::replace) + "\n", setup);
}
