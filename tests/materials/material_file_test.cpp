// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "material_test_support.h"
#include "materials/material.h"
#include "materials/material_library.h"

namespace {

using nlohmann::ordered_json;

TEST(MaterialFile, EveryBuiltInFileReadsAndWritesBackTheSameBytes) {
  const MaterialLibrary library = LoadMaterialLibrary(CHUNG_LIBRARY_DIR, "");
  EXPECT_TRUE(library.Problems.empty()) << library.Problems.front();
  ASSERT_EQ(library.Materials.size(), 12u);
  for (const Material& material : library.Materials) {
    EXPECT_EQ(material.Origin, MaterialOrigin::BuiltIn);
    EXPECT_EQ(MaterialJson(material), LibraryFileText(material.Key)) << material.Key;
  }
  const Material& ldpe = *FindMaterial(library, "ldpe");
  EXPECT_EQ(ldpe.Key, "LDPE");
  EXPECT_EQ(ldpe.Value(MaterialValue::MeltConductivity), 0.000573);
  EXPECT_EQ(ldpe.Quality[QualityGroupOf(MaterialValue::HeatOfFusion)], ValueQuality::C);
  EXPECT_EQ(ldpe.SourceLaw->Kind, SourceLawKind::PowerLaw);
  EXPECT_EQ(ldpe.Reference->MeltingEndTurn, 15.85);
  EXPECT_EQ(EstimatedValues(*FindMaterial(library, "PC")), "viscosity law, MeltDensity, MeltSpecificHeat, MeltingPoint");
}

// One change to LDPE's file and the member the refusal must name.
struct BadMaterial {
  const char* What;
  void (*Change)(ordered_json&);
  const char* Message;
};

const BadMaterial BadMaterials[] = {
    {"missing value", [](ordered_json& j) { j["values"].erase("MeltDensity"); }, "values.MeltDensity is missing"},
    {"unknown member", [](ordered_json& j) { j["colour"] = "blue"; }, "colour is not a member this version knows"},
    {"unknown value member", [](ordered_json& j) { j["values"]["ViscB"]["source"] = 1; },
     "values.ViscB.source is not a member"},
    {"wrong unit", [](ordered_json& j) { j["values"]["SolidDensity"]["unit"] = "kg/m3"; },
     "values.SolidDensity.unit must be \"g/cm3\", not \"kg/m3\""},
    {"m0 in a third unit", [](ordered_json& j) { j["values"]["ViscM0"]["unit"] = "Pa.s"; },
     "values.ViscM0.unit must be \"gf.s^n/cm2\" or \"Pa.s^n\""},
    {"text for a number", [](ordered_json& j) { j["values"]["ViscN"]["value"] = "0.33"; },
     "values.ViscN.value must be a number, not a text"},
    {"negative density", [](ordered_json& j) { j["values"]["SolidDensity"]["value"] = -0.92; },
     "values.SolidDensity.value must be greater than 0, not -0.92"},
    {"n above 1", [](ordered_json& j) { j["values"]["ViscN"]["value"] = 1.2; },
     "values.ViscN.value must be greater than 0 and at most 1, not 1.2"},
    {"barrel below the melting point", [](ordered_json& j) { j["typical_barrel_C"] = 100.0; },
     "typical_barrel_C must be above values.MeltingPoint.value (112), not 100"},
    {"melting point above the fit window", [](ordered_json& j) { j["fit"]["T_range"] = {80.0, 110.0}; },
     "values.MeltingPoint.value (112) must be below the top of fit.T_range (110)"},
    {"shear window upside down", [](ordered_json& j) { j["fit"]["shear_range"] = {1000.0, 300.0}; },
     "fit.shear_range must be [low, high]"},
    {"unknown quality", [](ordered_json& j) { j["quality"]["MeltDensity"] = "D"; }, "quality.MeltDensity must be"},
    {"unknown class", [](ordered_json& j) { j["polymer_class"] = "liquid"; }, "polymer_class must be"},
    {"key with a slash", [](ordered_json& j) { j["key"] = "../LDPE"; }, "key must be 1 to 64"},
    {"Cross-WLF without D1", [](ordered_json& j) {
       j["source_law"] = {{"kind", "Cross-WLF"}, {"n", 0.3}, {"tau_star_Pa", 1e4}, {"D2_K", 153.0}, {"A1", 30.0}, {"A2_K", 51.6}};
     }, "source_law.D1_Pa_s is missing"},
    {"newer format", [](ordered_json& j) { j["format_version"] = 2; }, "format_version 2 is not one this version reads"},
};

TEST(MaterialFile, EveryBadMemberIsRefusedByName) {
  const ordered_json good = ordered_json::parse(LibraryFileText("LDPE"));
  for (const BadMaterial& bad : BadMaterials) {
    ordered_json changed = good;
    bad.Change(changed);
    std::string error;
    EXPECT_FALSE(ParseMaterialJson(changed.dump(), error)) << bad.What;
    EXPECT_NE(error.find(bad.Message), std::string::npos) << bad.What << ": " << error;
  }
}

TEST(MaterialFile, TextsThatAreNoNumbersOrNoJsonAreRefused) {
  std::string text = LibraryFileText("LDPE");
  const std::string value = "\"value\": 0.92";
  const struct {
    std::string Text;
    const char* Message;
  } cases[] = {
      {"not json at all", "is not JSON"},
      {std::string(text).replace(text.find(value), value.size(), "\"value\": NaN"), "is not JSON"},
      {std::string(text).replace(text.find(value), value.size(), "\"value\": 1e999"),
       "is not JSON: number overflow parsing '1e999'"},
      {"[1, 2]", "the file must be an object, not a list"},
  };
  for (const auto& bad : cases) {
    std::string error;
    EXPECT_FALSE(ParseMaterialJson(bad.Text, error));
    EXPECT_NE(error.find(bad.Message), std::string::npos) << error;
  }
}

TEST(MaterialFile, AFileLargerThanTheLimitIsRefusedUnread) {
  TemporaryFolder folder("chung-material-file");
  const auto path = folder.Path() / "big.json";
  WriteText(path, std::string(10 << 20, ' ') + LibraryFileText("LDPE"));
  std::string error;
  EXPECT_FALSE(ReadMaterialFile(path.string(), error));
  EXPECT_EQ(error, "Material file " + path.string() + " is larger than 1 MiB");
}

TEST(MaterialFile, MZeroInPascalIsKeptInItsUnit) {
  ordered_json file = ordered_json::parse(LibraryFileText("LDPE"));
  file["values"]["ViscM0"] = {{"value", 24206.0}, {"unit", "Pa.s^n"}};
  std::string error;
  const std::optional<Material> material = ParseMaterialJson(file.dump(), error);
  ASSERT_TRUE(material) << error;
  EXPECT_EQ(material->M0Unit, ViscosityUnit::PaS);
  EXPECT_EQ(ordered_json::parse(MaterialJson(*material))["values"]["ViscM0"], file["values"]["ViscM0"]);
}

}  // namespace
