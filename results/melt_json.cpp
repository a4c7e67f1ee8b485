#include "results/melt_json.h"

#include "results/outcome_name.h"

using Json = nlohmann::ordered_json;

namespace {

Json Optional(const std::optional<double>& value) { return value ? Json(*value) : Json(nullptr); }

const char* BoundName(int b) { return MeltBoundName(static_cast<MeltBound>(b)); }

Json Common(const MeltCommonFigures& common) {
  return Json{{"DragCapacity", common.DragCapacity},
              {"TipIndex", common.TipIndex},
              {"MeltEndIndex", common.MeltEndIndex},
              {"MeltEndTurn", Optional(common.MeltEndTurn)},
              {"MeltFlow", common.MeltFlow},
              {"DieConductance", Optional(common.DieConductance)},
              {"NarrowPoolCount", common.NarrowPoolCount},
              {"NarrowPoolFirstTurn", Optional(common.NarrowPoolFirstTurn)},
              {"NarrowPoolLastTurn", Optional(common.NarrowPoolLastTurn)}};
}

Json BoundSummary(const MeltBoundSummary& s) {
  return Json{{"PeakPressure", s.PeakPressure},
              {"PeakPressureTurn", s.PeakPressureTurn},
              {"MinPressure", s.MinPressure},
              {"MinPressureTurn", s.MinPressureTurn},
              {"TipPressure", s.TipPressure},
              {"DiePressure", s.DiePressure},
              {"PressureMargin", s.PressureMargin},
              {"DieShearRate", Optional(s.DieShearRate)},
              {"DieViscosity", Optional(s.DieViscosity)},
              {"MeltingZoneHeat", s.MeltingZoneHeat},
              {"MeltStartTemperature", Optional(s.MeltStartTemperature)},
              {"TipMeltTemperature", s.TipMeltTemperature},
              {"MeltConveyingPower", s.MeltConveyingPower},
              {"TotalScrewPower", s.TotalScrewPower},
              {"EnergyResidual", Optional(s.EnergyResidual)}};
}

Json Warning(const MeltWarning& warning) {
  Json object{{"Code", MeltWarningCodeName(warning.Code)}};
  if (warning.Bound) object["Bound"] = MeltBoundName(*warning.Bound);
  for (const MeltWarningFigure& figure : warning.Figures) object[figure.Name] = figure.Value;
  object["Text"] = warning.Text;
  return object;
}

Json Row(const MeltPoint& point) {
  Json row{{"Index", point.Index},
           {"Turn", point.Turn},
           {"Zone", ScrewZoneName(point.Zone)},
           {"ChannelLength", point.ChannelLength},
           {"Depth", point.Depth},
           {"Melting", point.Melting},
           {"Active", point.Active},
           {"FlowWidth", point.FlowWidth},
           {"MeltFlowRate", point.MeltFlowRate},
           {"DragFlowRate", Optional(point.DragFlowRate)},
           {"FlowRatio", Optional(point.FlowRatio)},
           {"DragShapeFactor", Optional(point.DragShapeFactor)},
           {"PressureShapeFactor", Optional(point.PressureShapeFactor)},
           {"ShearRate", point.ShearRate}};
  for (int b = 0; b < MeltBoundCount; ++b) {
    const MeltBoundPoint& bound = point.Bounds[static_cast<std::size_t>(b)];
    row[BoundName(b)] = Json{{"Temperature", bound.Temperature},
                             {"Viscosity", bound.Viscosity},
                             {"Gradient", bound.Gradient},
                             {"Pressure", bound.Pressure}};
  }
  return row;
}

Json FoundOutput(const MeltOperatingPoint& point) {
  const bool bracket = HasBracket(point.Status);
  const bool figures = HasFiguresAtOutput(point.Status);
  const bool trialFailed = point.Status == OperatingPointStatus::TrialFailed;
  // A figure the search does not have is null, never a zero it did not compute.
  auto when = [](bool has, const Json& value) { return has ? value : Json(nullptr); };
  Json codes = Json::array();
  for (MeltWarningCode code : point.Warnings) codes.push_back(MeltWarningCodeName(code));
  return Json{{"Status", OperatingPointStatusName(point.Status)},
              {"Output", when(figures, point.Output)},
              {"Low", when(bracket, point.Low)},
              {"High", when(bracket, point.High)},
              {"LowMargin", when(bracket, point.LowMargin)},
              {"HighMargin", when(bracket, point.HighMargin)},
              {"Bisections", point.Bisections},
              {"Evaluations", point.Evaluations},
              {"TipPressure", when(figures, point.TipPressure)},
              {"DiePressure", when(figures, point.DiePressure)},
              {"PressureMargin", when(figures, point.PressureMargin)},
              {"PeakPressure", when(figures, point.PeakPressure)},
              {"TipMeltTemperature", when(figures, point.TipMeltTemperature)},
              {"SolidAtTip", when(figures, point.SolidAtTip)},
              {"InJump", when(bracket, point.InJump)},
              {"Warnings", when(figures, codes)},
              {"TrialOutcome", trialFailed ? Json(OutcomeName(point.TrialOutcome.Result)) : Json(nullptr)},
              {"TrialMessage", trialFailed ? Json(OutcomeMessage(point.TrialOutcome)) : Json(nullptr)}};
}

}  // namespace

Json MeltJson(const MeltStage& stage, const MeltOperatingPoints* operatingPoints) {
  Json summary = Json::object();
  for (int b = 0; b < MeltBoundCount; ++b) summary[BoundName(b)] = BoundSummary(stage.Summary[static_cast<std::size_t>(b)]);
  Json& best = summary[MeltBoundName(MeltBound::BestEstimate)];
  const MeltBarrelExchange& exchange = stage.Exchange;
  best["HeatTransferCoefficient"] = exchange.HeatTransferCoefficient;
  best["ExposureTime"] = exchange.ExposureTime;
  best["RelaxationLength"] = Optional(exchange.RelaxationLength);
  best["BarrelHeat"] = exchange.BarrelHeat;
  best["TipBarrelDifference"] = exchange.TipBarrelDifference;
  Json warnings = Json::array();
  for (const MeltWarning& warning : stage.Warnings) warnings.push_back(Warning(warning));
  Json rows = Json::array();
  for (const MeltPoint& point : stage.Points) rows.push_back(Row(point));
  Json melt = Json::object();
  melt["Common"] = Common(stage.Common);
  melt["Summary"] = std::move(summary);
  melt["Warnings"] = std::move(warnings);
  melt["Rows"] = std::move(rows);
  if (operatingPoints) {
    Json points = Json::object();
    for (int b = 0; b < MeltBoundCount; ++b) {
      points[BoundName(b)] = FoundOutput(OperatingPointOf(*operatingPoints, static_cast<MeltBound>(b)));
    }
    melt["OperatingPoint"] = std::move(points);
  }
  return melt;
}
