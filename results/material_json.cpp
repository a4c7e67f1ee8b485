// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/material_json.h"

#include <nlohmann/json.hpp>

#include "materials/material_inputs.h"
#include "materials/material_library.h"

using Json = nlohmann::ordered_json;

std::string WithMaterialMember(const std::string& runJson, const RunSetup& setup) {
  if (!setup.Material) return runJson;
  const Material& material = *setup.Material;
  const std::vector<std::string> warnings = MaterialWarnings(material, setup.Texts, setup.DecimalSeparator);
  Json quality = Json::object();
  for (int g = 0; g < QualityGroupCount; ++g) quality[QualityGroupNames[g]] = QualityText(material.Quality[g]);
  const std::string note = MaterialEstimateNote(material);
  const Json member{{"key", material.Key},
                    {"name", material.Name},
                    {"polymer_class", PolymerClassText(material.Class)},
                    {"origin", MaterialOriginText(material.Origin)},
                    {"quality", quality},
                    {"warnings", warnings},
                    {"note", note.empty() ? Json(nullptr) : Json(note)}};
  const Json run = Json::parse(runJson);
  Json out = Json::object();
  for (auto field = run.begin(); field != run.end(); ++field) {
    out[field.key()] = field.value();
    if (field.key() == "viscosity_unit") out["material"] = member;
  }
  return out.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}
