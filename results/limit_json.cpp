#include "results/limit_json.h"

#include <nlohmann/json.hpp>

#include "results/input_names.h"
#include "results/run_json.h"

using Json = nlohmann::ordered_json;

std::string LimitRunJson(const RunSetup& setup, const RunOutcome& outcome, const ModelState& state,
                         const LimitSearch& search, const LimitResult& result) {
  const int32_t unitIndex = setup.UnitIndex;
  // The run's document is built by its own writer and read back, so the two
  // can never describe a run differently.
  Json run = Json::parse(RunJson(setup, outcome, state));
  Json intervals = Json::array();
  for (const LimitInterval& interval : result.Intervals) intervals.push_back({{"From", interval.From}, {"To", interval.To}});
  run["find"] = Json{{"Input", InputNames[search.Input].Name},
                     {"Unit", InputUnit(search.Input, unitIndex)},
                     {"Low", search.Low},
                     {"High", search.High},
                     {"Condition", LimitConditionName(search.Condition)},
                     {"Smallest", search.Smallest},
                     {"Value", result.Value ? Json(*result.Value) : Json(nullptr)},
                     {"Status", LimitStatusName(result.Status)},
                     {"Runs", result.Runs},
                     {"RunBoundReached", result.RunBoundReached},
                     {"Intervals", std::move(intervals)}};
  if (search.Condition == LimitCondition::DieReached) run["find"]["Bound"] = LimitBoundName(search.Bound);
  return run.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}
