// SPDX-License-Identifier: GPL-3.0-or-later
#include "materials/project_file.h"

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "materials/json_fields.h"
#include "model/input_fields.h"
#include "report/replace_file.h"

using nlohmann::ordered_json;

namespace {

constexpr const char* FormatName = "chung-project";
constexpr int FormatVersion = 1;

// The 28 inputs' names in canonical order; the ModelInputs members.
constexpr std::array<const char*, InputCount> InputTextNames = {
    "ScrewDiameter", "FeedTurns",    "CompressionTurns",  "MeteringTurns", "DelayTurns",
    "FeedDepth",     "MeteringDepth", "ScrewPitch",       "FlightWidth",   "ScrewSpeed",
    "OutputRate",    "BarrelB0",     "BarrelB1",          "BarrelB2",      "ViscM0",
    "ViscB",         "ViscN",        "ViscT0",            "SolidDensity",  "MeltDensity",
    "SolidSpecificHeat", "HeatOfFusion", "MeltSpecificHeat", "MeltConductivity", "MeltingPoint",
    "SolidInletTemp", "InletCompaction", "StartWidthRatio"};

bool Known(const std::string& name, std::initializer_list<const char*> names) {
  for (const char* known : names) {
    if (name == known) return true;
  }
  return false;
}

// Notes the members of `object` that are not among `names`, by path.
template <typename IsKnown>
void NoteUnknown(const ordered_json& object, const std::string& path, IsKnown isKnown, RunSetup& setup) {
  for (auto member = object.begin(); member != object.end(); ++member) {
    if (!isKnown(member.key())) setup.UnknownNames.push_back(MemberPath(path, member.key()));
  }
}

bool IsInputName(const std::string& name) {
  for (const char* known : InputTextNames) {
    if (name == known) return true;
  }
  return false;
}

bool IsMeltName(const std::string& name) {
  for (const MeltInputName& known : MeltInputNames) {
    if (name == known.Name) return true;
  }
  return false;
}

void ReadInputs(const ordered_json& file, RunSetup& setup) {
  const ordered_json& inputs = RequiredMember(file, "", "inputs");
  RequireObject(inputs, "inputs");
  NoteUnknown(inputs, "inputs", IsInputName, setup);
  for (int k = 0; k < InputCount; ++k) {
    setup.Texts[k] = TextValue(RequiredMember(inputs, "inputs", InputTextNames[k]),
                               MemberPath("inputs", InputTextNames[k]), true);
  }
  setup.Texts[InputCount] = TextValue(RequiredMember(file, "", "result_file"), "result_file", true);
  const ordered_json& unit = RequiredMember(file, "", "viscosity_unit_index");
  if (!unit.is_number_integer() || unit.get<int64_t>() < INT32_MIN || unit.get<int64_t>() > INT32_MAX) {
    throw FieldError("viscosity_unit_index must be a whole number (0 Pa.s, any other gf.s/cm2)");
  }
  setup.UnitIndex = static_cast<int32_t>(unit.get<int64_t>());
  const std::string separator = TextValue(RequiredMember(file, "", "decimal_separator"), "decimal_separator");
  if (separator != "." && separator != ",") throw FieldError("decimal_separator must be \".\" or \",\"");
  setup.DecimalSeparator = separator[0];
}

void ReadMaterial(const ordered_json& file, RunSetup& setup) {
  const ordered_json& member = RequiredMember(file, "", "material");
  if (member.is_null()) return;
  RequireObject(member, "material");
  // A newer version's material members are kept in the document, not read.
  ordered_json known = ordered_json::object();
  for (auto field = member.begin(); field != member.end(); ++field) {
    if (IsMaterialMember(field.key())) {
      known[field.key()] = field.value();
    } else {
      setup.UnknownNames.push_back("material." + field.key());
    }
  }
  std::string error;
  std::optional<Material> material = ParseMaterialJson(known.dump(), error);
  if (!material) throw FieldError("material." + error);
  setup.Material = std::move(*material);
}

void ReadMelt(const ordered_json& file, RunSetup& setup) {
  const ordered_json& melt = RequiredMember(file, "", "melt_stage");
  RequireObject(melt, "melt_stage");
  NoteUnknown(melt, "melt_stage", [](const std::string& name) { return Known(name, {"on", "inputs"}); }, setup);
  setup.MeltStage = BooleanValue(RequiredMember(melt, "melt_stage", "on"), "melt_stage.on");
  const ordered_json& inputs = RequiredMember(melt, "melt_stage", "inputs");
  RequireObject(inputs, "melt_stage.inputs");
  NoteUnknown(inputs, "melt_stage.inputs", IsMeltName, setup);
  for (int k = 0; k < MeltInputCount; ++k) {
    const std::string path = std::string("melt_stage.inputs.") + MeltInputNames[k].Name;
    // A file written before the barrel heat transfer factor keeps its initial value.
    if (k == BarrelHeatTransferFactorInput && !inputs.contains(MeltInputNames[k].Name)) {
      setup.Melt[k] = InitialMeltTexts(setup.DecimalSeparator)[k];
      continue;
    }
    setup.Melt[k] = TextValue(RequiredMember(inputs, "melt_stage.inputs", MeltInputNames[k].Name), path, true);
  }
}

void ReadStudy(const ordered_json& file, RunSetup& setup) {
  const ordered_json& study = RequiredMember(file, "", "study");
  RequireObject(study, "study");
  NoteUnknown(study, "study",
              [](const std::string& name) { return Known(name, {"vary", "find", "until", "smallest", "tolerance", "bound"}); },
              setup);
  const ordered_json& vary = RequiredMember(study, "study", "vary");
  if (!vary.is_array()) throw FieldError("study.vary must be a list of texts");
  for (std::size_t k = 0; k < vary.size(); ++k) {
    setup.Study.Axes.push_back(TextValue(vary[k], "study.vary[" + std::to_string(k) + "]"));
  }
  setup.Study.Find = TextValue(RequiredMember(study, "study", "find"), "study.find", true);
  setup.Study.Until = TextValue(RequiredMember(study, "study", "until"), "study.until", true);
  setup.Study.Smallest = BooleanValue(RequiredMember(study, "study", "smallest"), "study.smallest");
  setup.Study.Tolerance = TextValue(RequiredMember(study, "study", "tolerance"), "study.tolerance", true);
  // Written since the die-reached search's bound was kept; older files search both.
  if (study.contains("bound")) setup.Study.Bound = TextValue(study["bound"], "study.bound", true);
}

RunSetup ReadSetup(const ordered_json& file) {
  RequireObject(file, "");
  if (TextValue(RequiredMember(file, "", "format"), "format") != FormatName) {
    throw FieldError(std::string("format must be \"") + FormatName + "\"");
  }
  const double version = FiniteNumber(RequiredMember(file, "", "format_version"), "format_version");
  if (!(version >= 1)) throw FieldError("format_version must be 1 or more, not " + NumberText(version));
  RunSetup setup;
  NoteUnknown(file, "",
              [](const std::string& name) {
                return Known(name, {"format", "format_version", "inputs", "result_file", "viscosity_unit_index",
                                    "decimal_separator", "material", "melt_stage", "study"});
              },
              setup);
  ReadInputs(file, setup);
  ReadMaterial(file, setup);
  ReadMelt(file, setup);
  ReadStudy(file, setup);
  setup.ReadDocument = file.dump();
  return setup;
}

// '.' and ',' trade places, so a text keeps whether it reads as a number.
std::string WithSeparator(std::string text, char from, char to) {
  if (from == to) return text;
  for (char& c : text) {
    if (c == from) {
      c = to;
    } else if (c == to) {
      c = from;
    }
  }
  return text;
}

// `base` with the members of `overlay` put over it, its own order kept.
void Overlay(ordered_json& base, const ordered_json& overlay) {
  for (auto member = overlay.begin(); member != overlay.end(); ++member) base[member.key()] = member.value();
}

}  // namespace

RunSetup InitialRunSetup(char decimalSeparator) {
  RunSetup setup;
  setup.Texts = InitialRunTexts(decimalSeparator);
  setup.UnitIndex = InitialUnitIndex;
  setup.DecimalSeparator = decimalSeparator;
  setup.Melt = InitialMeltTexts(decimalSeparator);
  return setup;
}

RunTexts SetupTexts(const RunSetup& setup, char decimalSeparator) {
  RunTexts texts = setup.Texts;
  for (int k = 0; k < InputCount; ++k) texts[k] = WithSeparator(texts[k], setup.DecimalSeparator, decimalSeparator);
  return texts;
}

MeltTexts SetupMeltTexts(const RunSetup& setup, char decimalSeparator) {
  MeltTexts texts = setup.Melt;
  // DieMode is a word.
  for (int k = DieModeInput + 1; k < MeltInputCount; ++k) {
    texts[k] = WithSeparator(texts[k], setup.DecimalSeparator, decimalSeparator);
  }
  return texts;
}

namespace {

// "NAME=values": the values with `to` as their decimal separator. A list
// separator ',' gives way to ';' first when ',' becomes the decimal point.
std::string AxisWithSeparator(const std::string& axis, char from, char to) {
  const std::size_t equals = axis.find('=');
  if (from == to || equals == std::string::npos) return axis;
  std::string values = axis.substr(equals + 1);
  if (to == ',') {
    for (char& c : values) {
      if (c == ',') c = ';';
    }
  }
  // A material's key or file name is a word whatever dots it holds.
  const bool words = axis.compare(0, equals, "Material") == 0;
  if (!words) {
    for (char& c : values) {
      if (c == from) c = to;
    }
  }
  return axis.substr(0, equals + 1) + values;
}

}  // namespace

StudySetup SetupStudy(const RunSetup& setup, char decimalSeparator) {
  StudySetup study = setup.Study;
  for (std::string& axis : study.Axes) axis = AxisWithSeparator(axis, setup.DecimalSeparator, decimalSeparator);
  study.Find = AxisWithSeparator(study.Find, setup.DecimalSeparator, decimalSeparator);
  study.Tolerance = WithSeparator(study.Tolerance, setup.DecimalSeparator, decimalSeparator);
  return study;
}

std::string ProjectJson(const RunSetup& setup) {
  ordered_json file = setup.ReadDocument.empty() ? ordered_json::object() : ordered_json::parse(setup.ReadDocument);
  ordered_json inputs = file.contains("inputs") ? file["inputs"] : ordered_json::object();
  for (int k = 0; k < InputCount; ++k) inputs[InputTextNames[k]] = setup.Texts[k];
  ordered_json material = nullptr;
  if (setup.Material) {
    material = ordered_json::parse(MaterialJson(*setup.Material));
    // The same material keeps what a newer version wrote into it.
    const auto read = file.find("material");
    if (read != file.end() && read->is_object() && read->value("key", std::string()) == setup.Material->Key) {
      ordered_json kept = *read;
      for (auto member = material.begin(); member != material.end(); ++member) kept[member.key()] = member.value();
      for (auto member = read->begin(); member != read->end(); ++member) {
        if (IsMaterialMember(member.key()) && !material.contains(member.key())) kept.erase(member.key());
      }
      material = std::move(kept);
    }
  }
  ordered_json meltInputs = ordered_json::object();
  if (const auto read = file.find("melt_stage"); read != file.end() && read->is_object() && read->contains("inputs")) {
    meltInputs = (*read)["inputs"];
  }
  for (int k = 0; k < MeltInputCount; ++k) meltInputs[MeltInputNames[k].Name] = setup.Melt[k];
  ordered_json melt = file.contains("melt_stage") && file["melt_stage"].is_object() ? file["melt_stage"]
                                                                                    : ordered_json::object();
  Overlay(melt, {{"on", setup.MeltStage}, {"inputs", meltInputs}});
  ordered_json study = file.contains("study") && file["study"].is_object() ? file["study"] : ordered_json::object();
  Overlay(study, {{"vary", setup.Study.Axes},
                  {"find", setup.Study.Find},
                  {"until", setup.Study.Until},
                  {"smallest", setup.Study.Smallest},
                  {"tolerance", setup.Study.Tolerance},
                  {"bound", setup.Study.Bound}});
  ordered_json known = {{"format", FormatName},
                        {"format_version", FormatVersion},
                        {"inputs", inputs},
                        {"result_file", setup.Texts[InputCount]},
                        {"viscosity_unit_index", setup.UnitIndex},
                        {"decimal_separator", std::string(1, setup.DecimalSeparator)},
                        {"material", material},
                        {"melt_stage", melt},
                        {"study", study}};
  // A newer version's format_version stays: its members are still there.
  if (const auto read = file.find("format_version"); read != file.end() && read->is_number()) {
    known["format_version"] = *read;
  }
  Overlay(file, known);
  return file.dump(2, ' ', false, ordered_json::error_handler_t::replace) + "\n";
}

std::optional<RunSetup> ParseProjectJson(std::string_view text, std::string& error) {
  try {
    return ReadSetup(ParseJsonText(text));
  } catch (const FieldError& problem) {
    error = problem.what();
  } catch (const nlohmann::json::exception& problem) {
    error = problem.what();
  }
  return std::nullopt;
}

std::optional<RunSetup> ReadProjectFile(const std::string& path, std::string& error) {
  try {
    const std::string text = ReadSmallFile(path, MaxProjectFileBytes);
    std::optional<RunSetup> setup = ParseProjectJson(text, error);
    if (!setup) error = "Project file " + path + ": " + error;
    return setup;
  } catch (const FieldError& problem) {
    error = "Project file " + path + " " + problem.what();
  }
  return std::nullopt;
}

std::string WriteProjectFile(const std::string& path, const RunSetup& setup) {
  if (setup.Material) {
    if (std::string problem = MaterialProblem(*setup.Material); !problem.empty()) return "material." + problem;
  }
  return ReplaceFileContents(path, ProjectJson(setup));
}

bool IsProjectFile(const std::string& path) {
  if (path.ends_with(ProjectFileExtension)) return true;
  // Only a regular file is looked into: a pipe would lose what is read.
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return false;
  std::ifstream file(path, std::ios::binary);
  char c = 0;
  while (file.get(c)) {
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n') return c == '{';
  }
  return false;
}

std::string UnknownMembersNote(const RunSetup& setup) {
  if (setup.UnknownNames.empty()) return {};
  std::string names;
  for (const std::string& name : setup.UnknownNames) names += (names.empty() ? "" : ", ") + name;
  return "The project holds members this version does not know, kept as they are: " + names + ".";
}
