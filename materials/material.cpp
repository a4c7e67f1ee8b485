// SPDX-License-Identifier: GPL-3.0-or-later
#include "materials/material.h"

#include <cmath>
#include <nlohmann/json.hpp>

#include "materials/json_fields.h"
#include "materials/material_library.h"
#include "report/replace_file.h"

using nlohmann::ordered_json;

namespace {

constexpr const char* FormatName = "chung-material";
constexpr int FormatVersion = 1;

struct QualityName {
  ValueQuality Quality;
  const char* Text;
};
constexpr QualityName QualityNames[] = {
    {ValueQuality::A, "A"}, {ValueQuality::B, "B"}, {ValueQuality::C, "C"}, {ValueQuality::Default, "default"}};

struct SourceLawName {
  SourceLawKind Kind;
  const char* Text;
};
constexpr SourceLawName SourceLawNames[] = {{SourceLawKind::CrossWlf, "Cross-WLF"},
                                            {SourceLawKind::CrossArrhenius, "Cross-Arrhenius"},
                                            {SourceLawKind::PowerLaw, "power law"}};

std::string ValuePath(int k) { return std::string("values.") + MaterialValueNames[k].Name + ".value"; }

// A pair [low, high] of finite numbers.
ValueRange RangeValue(const ordered_json& value, const std::string& path) {
  if (!value.is_array() || value.size() != 2) throw FieldError(path + " must be a list of two numbers [low, high]");
  return {FiniteNumber(value[0], path + "[0]"), FiniteNumber(value[1], path + "[1]")};
}

std::optional<double> OptionalNumber(const ordered_json& object, const std::string& parent, const char* name) {
  const auto member = object.find(name);
  if (member == object.end()) return std::nullopt;
  return FiniteNumber(*member, MemberPath(parent, name));
}

std::string OptionalText(const ordered_json& object, const std::string& parent, const char* name) {
  const auto member = object.find(name);
  return member == object.end() ? std::string() : TextValue(*member, MemberPath(parent, name), true);
}

void ReadValues(const ordered_json& file, Material& material) {
  const ordered_json& values = RequiredMember(file, "", "values");
  RequireObject(values, "values");
  RefuseUnknownMembers(values, "values",
                       {"ViscM0", "ViscB", "ViscN", "ViscT0", "SolidDensity", "MeltDensity", "SolidSpecificHeat",
                        "HeatOfFusion", "MeltSpecificHeat", "MeltConductivity", "MeltingPoint"});
  for (int k = 0; k < MaterialValueCount; ++k) {
    const std::string path = MemberPath("values", MaterialValueNames[k].Name);
    const ordered_json& entry = RequiredMember(values, "values", MaterialValueNames[k].Name);
    RequireObject(entry, path);
    RefuseUnknownMembers(entry, path, {"value", "unit"});
    material.Values[k] = FiniteNumber(RequiredMember(entry, path, "value"), path + ".value");
    const std::string unit = TextValue(RequiredMember(entry, path, "unit"), path + ".unit");
    if (k == static_cast<int>(MaterialValue::ViscM0) && unit == PascalM0Unit) {
      material.M0Unit = ViscosityUnit::PaS;
    } else if (unit != MaterialValueNames[k].Unit) {
      std::string wanted = std::string("\"") + MaterialValueNames[k].Unit + "\"";
      if (k == static_cast<int>(MaterialValue::ViscM0)) wanted += std::string(" or \"") + PascalM0Unit + "\"";
      throw FieldError(path + ".unit must be " + wanted + ", not \"" + unit + "\"");
    }
  }
}

void ReadQuality(const ordered_json& file, Material& material) {
  const ordered_json& quality = RequiredMember(file, "", "quality");
  RequireObject(quality, "quality");
  RefuseUnknownMembers(quality, "quality",
                       {"viscosity", "SolidDensity", "MeltDensity", "SolidSpecificHeat", "HeatOfFusion",
                        "MeltSpecificHeat", "MeltConductivity", "MeltingPoint"});
  for (int g = 0; g < QualityGroupCount; ++g) {
    const std::string path = MemberPath("quality", QualityGroupNames[g]);
    const std::string text = TextValue(RequiredMember(quality, "quality", QualityGroupNames[g]), path);
    bool found = false;
    for (const QualityName& name : QualityNames) {
      if (text == name.Text) {
        material.Quality[g] = name.Quality;
        found = true;
      }
    }
    if (!found) throw FieldError(path + " must be \"A\", \"B\", \"C\" or \"default\", not \"" + text + "\"");
  }
}

void ReadFit(const ordered_json& file, Material& material) {
  const ordered_json& fit = RequiredMember(file, "", "fit");
  RequireObject(fit, "fit");
  RefuseUnknownMembers(fit, "fit", {"T_range", "shear_range", "rms_pct", "max_pct"});
  material.Fit.Temperature = RangeValue(RequiredMember(fit, "fit", "T_range"), "fit.T_range");
  material.Fit.ShearRate = RangeValue(RequiredMember(fit, "fit", "shear_range"), "fit.shear_range");
  material.Fit.RmsPercent = OptionalNumber(fit, "fit", "rms_pct");
  material.Fit.MaxPercent = OptionalNumber(fit, "fit", "max_pct");
}

void ReadSourceLaw(const ordered_json& file, Material& material) {
  const auto member = file.find("source_law");
  if (member == file.end()) return;
  const ordered_json& law = *member;
  const std::string path = "source_law";
  RequireObject(law, path);
  SourceViscosityLaw source;
  const std::string kind = TextValue(RequiredMember(law, path, "kind"), path + ".kind");
  bool found = false;
  for (const SourceLawName& name : SourceLawNames) {
    if (kind == name.Text) {
      source.Kind = name.Kind;
      found = true;
    }
  }
  if (!found) {
    throw FieldError(path + ".kind must be \"Cross-WLF\", \"Cross-Arrhenius\" or \"power law\", not \"" + kind + "\"");
  }
  const auto number = [&](const char* name) { return FiniteNumber(RequiredMember(law, path, name), MemberPath(path, name)); };
  switch (source.Kind) {
    case SourceLawKind::CrossWlf:
      RefuseUnknownMembers(law, path, {"kind", "description", "n", "tau_star_Pa", "D1_Pa_s", "D2_K", "A1", "A2_K"});
      source.N = number("n");
      source.TauStar = number("tau_star_Pa");
      source.D1 = number("D1_Pa_s");
      source.D2 = number("D2_K");
      source.A1 = number("A1");
      source.A2 = number("A2_K");
      break;
    case SourceLawKind::CrossArrhenius:
      RefuseUnknownMembers(law, path, {"kind", "description", "n", "tau_star_Pa", "B_Pa_s", "Tb_K"});
      source.N = number("n");
      source.TauStar = number("tau_star_Pa");
      source.B = number("B_Pa_s");
      source.Tb = number("Tb_K");
      break;
    case SourceLawKind::PowerLaw:
      RefuseUnknownMembers(law, path, {"kind", "description", "K_Pa_s_n", "beta_per_C", "n"});
      source.K = number("K_Pa_s_n");
      source.Beta = number("beta_per_C");
      source.N = number("n");
      break;
  }
  source.Description = OptionalText(law, path, "description");
  material.SourceLaw = source;
}

void ReadReferenceRun(const ordered_json& file, Material& material) {
  const auto member = file.find("reference_run");
  if (member == file.end()) return;
  const std::string path = "reference_run";
  RequireObject(*member, path);
  RefuseUnknownMembers(*member, path,
                       {"melting_end_turn", "motor_power_kW", "net_melting_energy_kW", "film_shear_rate_range",
                        "conditions"});
  ReferenceRun run;
  run.MeltingEndTurn = FiniteNumber(RequiredMember(*member, path, "melting_end_turn"), path + ".melting_end_turn");
  run.MotorPower = OptionalNumber(*member, path, "motor_power_kW");
  run.NetMeltingEnergy = OptionalNumber(*member, path, "net_melting_energy_kW");
  if (const auto range = member->find("film_shear_rate_range"); range != member->end()) {
    run.FilmShearRate = RangeValue(*range, path + ".film_shear_rate_range");
  }
  run.Conditions = OptionalText(*member, path, "conditions");
  material.Reference = run;
}

Material ReadMaterial(const ordered_json& file) {
  RequireObject(file, "");
  for (auto member = file.begin(); member != file.end(); ++member) {
    if (!IsMaterialMember(member.key())) throw FieldError(member.key() + " is not a member this version knows");
  }
  if (TextValue(RequiredMember(file, "", "format"), "format") != FormatName) {
    throw FieldError(std::string("format must be \"") + FormatName + "\"");
  }
  const double version = FiniteNumber(RequiredMember(file, "", "format_version"), "format_version");
  if (version != FormatVersion) {
    throw FieldError("format_version " + NumberText(version) + " is not one this version reads (1)");
  }
  Material material;
  material.Key = TextValue(RequiredMember(file, "", "key"), "key");
  material.Name = TextValue(RequiredMember(file, "", "name"), "name");
  material.Grade = OptionalText(file, "", "grade");
  material.Supplier = OptionalText(file, "", "supplier");
  const std::string polymerClass = TextValue(RequiredMember(file, "", "polymer_class"), "polymer_class");
  if (polymerClass == "semi-crystalline") {
    material.Class = PolymerClass::SemiCrystalline;
  } else if (polymerClass == "amorphous") {
    material.Class = PolymerClass::Amorphous;
  } else {
    throw FieldError("polymer_class must be \"semi-crystalline\" or \"amorphous\", not \"" + polymerClass + "\"");
  }
  ReadValues(file, material);
  material.MeltingPointKind = TextValue(RequiredMember(file, "", "MeltingPoint_kind"), "MeltingPoint_kind");
  material.TypicalBarrelTemp = FiniteNumber(RequiredMember(file, "", "typical_barrel_C"), "typical_barrel_C");
  ReadQuality(file, material);
  ReadFit(file, material);
  ReadSourceLaw(file, material);
  ReadReferenceRun(file, material);
  const ordered_json& sources = RequiredMember(file, "", "sources");
  if (!sources.is_array()) throw FieldError("sources must be a list of texts");
  for (std::size_t k = 0; k < sources.size(); ++k) {
    material.Sources.push_back(TextValue(sources[k], "sources[" + std::to_string(k) + "]"));
  }
  material.Notes = OptionalText(file, "", "notes");
  return material;
}

// The first failed check of one value, or an empty text.
std::string ValueProblem(int k, double value) {
  const auto is = [&](bool holds, const char* rule) {
    return holds ? std::string() : ValuePath(k) + " must be " + rule + ", not " + NumberText(value);
  };
  switch (static_cast<MaterialValue>(k)) {
    case MaterialValue::ViscB:
      return is(value >= 0, "0 or more");
    case MaterialValue::ViscN:
      return is(value > 0 && value <= 1, "greater than 0 and at most 1");
    case MaterialValue::HeatOfFusion:
      return is(value >= 0, "0 or more");
    default:
      return is(value > 0, "greater than 0");
  }
}

std::string RangeProblem(const ValueRange& range, const char* path, double lowest) {
  if (!std::isfinite(range.Low) || !std::isfinite(range.High) || range.Low <= lowest || range.High <= range.Low) {
    return std::string(path) + " must be [low, high] with " + NumberText(lowest) + " < low < high, not [" +
           NumberText(range.Low) + ", " + NumberText(range.High) + "]";
  }
  return {};
}

std::string SourceLawProblem(const SourceViscosityLaw& law) {
  const auto positive = [](double value, const char* name) {
    return std::isfinite(value) && value > 0 ? std::string()
                                             : std::string("source_law.") + name + " must be greater than 0, not " +
                                                   NumberText(value);
  };
  std::string problem;
  const auto first = [&](std::string next) {
    if (problem.empty()) problem = std::move(next);
  };
  if (law.Kind == SourceLawKind::PowerLaw) {
    first(positive(law.K, "K_Pa_s_n"));
    if (!std::isfinite(law.Beta)) first("source_law.beta_per_C must be a finite number");
  } else {
    if (!(law.N >= 0 && law.N < 1)) first("source_law.n must be 0 or more and less than 1, not " + NumberText(law.N));
    first(positive(law.TauStar, "tau_star_Pa"));
    if (law.Kind == SourceLawKind::CrossWlf) {
      first(positive(law.D1, "D1_Pa_s"));
      first(positive(law.D2, "D2_K"));
      first(positive(law.A1, "A1"));
      first(positive(law.A2, "A2_K"));
    } else {
      first(positive(law.B, "B_Pa_s"));
      if (!std::isfinite(law.Tb)) first("source_law.Tb_K must be a finite number");
    }
  }
  if (law.Kind == SourceLawKind::PowerLaw && !(law.N > 0 && law.N <= 1)) {
    first("source_law.n must be greater than 0 and at most 1, not " + NumberText(law.N));
  }
  return problem;
}

}  // namespace

bool IsMaterialMember(std::string_view name) {
  static constexpr const char* Members[] = {
      "format",   "format_version",    "key",          "name",    "grade",      "supplier",
      "polymer_class", "values",       "MeltingPoint_kind", "typical_barrel_C", "quality", "fit",
      "source_law", "reference_run",   "sources",      "notes"};
  for (const char* member : Members) {
    if (name == member) return true;
  }
  return false;
}

int QualityGroupOf(MaterialValue value) {
  const int k = static_cast<int>(value);
  return k <= static_cast<int>(MaterialValue::ViscT0) ? 0 : k - static_cast<int>(MaterialValue::ViscT0);
}

std::string MaterialProblem(const Material& material) {
  if (!IsMaterialKey(material.Key)) {
    return "key must be 1 to 64 letters, digits, '-', '_' or '.', not starting with '.', not \"" + material.Key +
           "\"";
  }
  if (material.Name.empty()) return "name must not be empty";
  for (int k = 0; k < MaterialValueCount; ++k) {
    if (!std::isfinite(material.Values[k])) return ValuePath(k) + " must be a finite number";
    if (std::string problem = ValueProblem(k, material.Values[k]); !problem.empty()) return problem;
  }
  const double meltingPoint = material.Value(MaterialValue::MeltingPoint);
  if (!std::isfinite(material.TypicalBarrelTemp) || material.TypicalBarrelTemp <= meltingPoint) {
    return "typical_barrel_C must be above values.MeltingPoint.value (" + NumberText(meltingPoint) + "), not " +
           NumberText(material.TypicalBarrelTemp);
  }
  if (std::string problem = RangeProblem(material.Fit.Temperature, "fit.T_range", -273.15); !problem.empty()) {
    return problem;
  }
  if (meltingPoint >= material.Fit.Temperature.High) {
    return "values.MeltingPoint.value (" + NumberText(meltingPoint) + ") must be below the top of fit.T_range (" +
           NumberText(material.Fit.Temperature.High) + ")";
  }
  if (std::string problem = RangeProblem(material.Fit.ShearRate, "fit.shear_range", 0); !problem.empty()) {
    return problem;
  }
  for (const auto& [value, path] : {std::pair{material.Fit.RmsPercent, "fit.rms_pct"},
                                    std::pair{material.Fit.MaxPercent, "fit.max_pct"}}) {
    if (value && !(*value >= 0)) return std::string(path) + " must be 0 or more, not " + NumberText(*value);
  }
  if (material.SourceLaw) {
    if (std::string problem = SourceLawProblem(*material.SourceLaw); !problem.empty()) return problem;
  }
  if (material.Reference && !(material.Reference->MeltingEndTurn > 0)) {
    return "reference_run.melting_end_turn must be greater than 0, not " +
           NumberText(material.Reference->MeltingEndTurn);
  }
  return {};
}

std::optional<Material> ParseMaterialJson(std::string_view text, std::string& error) {
  try {
    Material material = ReadMaterial(ParseJsonText(text));
    error = MaterialProblem(material);
    if (!error.empty()) return std::nullopt;
    return material;
  } catch (const FieldError& problem) {
    error = problem.what();
  } catch (const ordered_json::exception& problem) {
    error = problem.what();
  }
  return std::nullopt;
}

std::optional<Material> ReadMaterialFile(const std::string& path, std::string& error) {
  try {
    const std::string text = ReadSmallFile(path, MaxMaterialFileBytes);
    std::optional<Material> material = ParseMaterialJson(text, error);
    if (!material) {
      error = "Material file " + path + ": " + error;
      return std::nullopt;
    }
    material->Path = path;
    material->Origin = MaterialOrigin::File;
    return material;
  } catch (const FieldError& problem) {
    error = "Material file " + path + " " + problem.what();
  }
  return std::nullopt;
}

namespace {

ordered_json RangeJson(const ValueRange& range) { return ordered_json::array({range.Low, range.High}); }

ordered_json SourceLawJson(const SourceViscosityLaw& law) {
  ordered_json out;
  for (const SourceLawName& name : SourceLawNames) {
    if (name.Kind == law.Kind) out["kind"] = name.Text;
  }
  if (!law.Description.empty()) out["description"] = law.Description;
  switch (law.Kind) {
    case SourceLawKind::CrossWlf:
      out["n"] = law.N;
      out["tau_star_Pa"] = law.TauStar;
      out["D1_Pa_s"] = law.D1;
      out["D2_K"] = law.D2;
      out["A1"] = law.A1;
      out["A2_K"] = law.A2;
      break;
    case SourceLawKind::CrossArrhenius:
      out["n"] = law.N;
      out["tau_star_Pa"] = law.TauStar;
      out["B_Pa_s"] = law.B;
      out["Tb_K"] = law.Tb;
      break;
    case SourceLawKind::PowerLaw:
      out["K_Pa_s_n"] = law.K;
      out["beta_per_C"] = law.Beta;
      out["n"] = law.N;
      break;
  }
  return out;
}

}  // namespace

std::string MaterialJson(const Material& material) {
  ordered_json out;
  out["format"] = FormatName;
  out["format_version"] = FormatVersion;
  out["key"] = material.Key;
  out["name"] = material.Name;
  if (!material.Grade.empty()) out["grade"] = material.Grade;
  if (!material.Supplier.empty()) out["supplier"] = material.Supplier;
  out["polymer_class"] = PolymerClassText(material.Class);
  ordered_json values = ordered_json::object();
  for (int k = 0; k < MaterialValueCount; ++k) {
    const bool pascal = k == static_cast<int>(MaterialValue::ViscM0) && material.M0Unit == ViscosityUnit::PaS;
    values[MaterialValueNames[k].Name] = {{"value", material.Values[k]},
                                          {"unit", pascal ? PascalM0Unit : MaterialValueNames[k].Unit}};
  }
  out["values"] = values;
  out["MeltingPoint_kind"] = material.MeltingPointKind;
  out["typical_barrel_C"] = material.TypicalBarrelTemp;
  ordered_json quality = ordered_json::object();
  for (int g = 0; g < QualityGroupCount; ++g) quality[QualityGroupNames[g]] = QualityText(material.Quality[g]);
  out["quality"] = quality;
  ordered_json fit = {{"T_range", RangeJson(material.Fit.Temperature)},
                      {"shear_range", RangeJson(material.Fit.ShearRate)}};
  if (material.Fit.RmsPercent) fit["rms_pct"] = *material.Fit.RmsPercent;
  if (material.Fit.MaxPercent) fit["max_pct"] = *material.Fit.MaxPercent;
  out["fit"] = fit;
  if (material.SourceLaw) out["source_law"] = SourceLawJson(*material.SourceLaw);
  if (material.Reference) {
    const ReferenceRun& run = *material.Reference;
    ordered_json reference = {{"melting_end_turn", run.MeltingEndTurn}};
    if (run.MotorPower) reference["motor_power_kW"] = *run.MotorPower;
    if (run.NetMeltingEnergy) reference["net_melting_energy_kW"] = *run.NetMeltingEnergy;
    if (run.FilmShearRate) reference["film_shear_rate_range"] = RangeJson(*run.FilmShearRate);
    if (!run.Conditions.empty()) reference["conditions"] = run.Conditions;
    out["reference_run"] = reference;
  }
  out["sources"] = material.Sources;
  if (!material.Notes.empty()) out["notes"] = material.Notes;
  return out.dump(2) + "\n";
}

std::string WriteMaterialFile(const std::string& path, const Material& material) {
  if (std::string problem = MaterialProblem(material); !problem.empty()) return problem;
  return ReplaceFileContents(path, MaterialJson(material));
}

const char* QualityText(ValueQuality quality) {
  for (const QualityName& name : QualityNames) {
    if (name.Quality == quality) return name.Text;
  }
  return "";
}

const char* PolymerClassText(PolymerClass polymerClass) {
  return polymerClass == PolymerClass::Amorphous ? "amorphous" : "semi-crystalline";
}

std::string QualitySummary(const Material& material) {
  std::string letters;
  for (ValueQuality quality : material.Quality) letters += quality == ValueQuality::Default ? '-' : QualityText(quality)[0];
  return letters;
}

std::string EstimatedValues(const Material& material) {
  std::string names;
  for (int g = 0; g < QualityGroupCount; ++g) {
    if (material.Quality[g] != ValueQuality::C) continue;
    if (!names.empty()) names += ", ";
    names += g == 0 ? "viscosity law" : QualityGroupNames[g];
  }
  return names;
}
