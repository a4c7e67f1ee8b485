#include "results/melt_csv.h"

#include <optional>

#include "results/number_text.h"

namespace {

constexpr const char* Header =
    "point,turn (turns),zone,channel length (cm),depth (cm),melting,active,flow width (cm),"
    "melt flow rate (cm3/s),drag flow rate (cm3/s),flow ratio (-),drag shape factor (-),"
    "pressure shape factor (-),shear rate (1/s),"
    "adiabatic melt temperature (\u00B0C),adiabatic viscosity (Pa.s),adiabatic pressure gradient (MPa/cm),"
    "adiabatic pressure (MPa),"
    "barrel bound melt temperature (\u00B0C),barrel bound viscosity (Pa.s),"
    "barrel bound pressure gradient (MPa/cm),barrel bound pressure (MPa),"
    "best estimate melt temperature (\u00B0C),best estimate viscosity (Pa.s),"
    "best estimate pressure gradient (MPa/cm),best estimate pressure (MPa)\n";

void Add(std::string& line, double value) {
  line += ',';
  line += RoundTripText(value);
}

void Add(std::string& line, const std::optional<double>& value) {
  line += ',';
  if (value) line += RoundTripText(*value);
}

void Add(std::string& line, bool value) { line += value ? ",true" : ",false"; }

}  // namespace

std::string MeltCsv(const MeltStage& stage) {
  std::string csv = Header;
  for (const MeltPoint& point : stage.Points) {
    csv += std::to_string(point.Index);
    Add(csv, point.Turn);
    csv += ',';
    csv += ScrewZoneName(point.Zone);
    Add(csv, point.ChannelLength);
    Add(csv, point.Depth);
    Add(csv, point.Melting);
    Add(csv, point.Active);
    Add(csv, point.FlowWidth);
    Add(csv, point.MeltFlowRate);
    Add(csv, point.DragFlowRate);
    Add(csv, point.FlowRatio);
    Add(csv, point.DragShapeFactor);
    Add(csv, point.PressureShapeFactor);
    Add(csv, point.ShearRate);
    for (const MeltBoundPoint& bound : point.Bounds) {
      Add(csv, bound.Temperature);
      Add(csv, bound.Viscosity);
      Add(csv, bound.Gradient);
      Add(csv, bound.Pressure);
    }
    csv += '\n';
  }
  return csv;
}
