// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <memory>
#include <nlohmann/json.hpp>

#include "material_test_support.h"
#include "materials/material_inputs.h"
#include "materials/material_library.h"
#include "materials/project_file.h"

namespace {

using nlohmann::ordered_json;

class SilentMessages : public UserMessages {
 public:
  void ShowMessage(const std::string&) override {}
};

// The report a run of `texts` writes, as bytes.
std::string ReportOf(const RunTexts& texts, int32_t unitIndex, const std::filesystem::path& file) {
  RunTexts named = texts;
  named[InputCount] = file.string();
  const auto state = std::make_unique<ModelState>();
  SilentMessages messages;
  EXPECT_EQ(RunCommand(*state, named, unitIndex, messages).Result, RunResult::Completed);
  return ReadText(file);
}

RunSetup HdpeSetup() {
  const MaterialLibrary library = LoadMaterialLibrary(CHUNG_LIBRARY_DIR, "");
  RunSetup setup = InitialRunSetup(',');
  setup.UnitIndex = 0;
  setup.Material = *FindMaterial(library, "HDPE");
  ApplyMaterial(*setup.Material, setup.Texts, setup.UnitIndex, ',');
  setup.Texts[11] = "220,0";
  setup.MeltStage = true;
  setup.Melt[DieModeInput] = "Capillary";
  setup.Melt[DieDiameterInput] = "0,8";
  setup.Study.Axes = {"ScrewSpeed=20:60:10"};
  return setup;
}

TEST(ProjectFile, ASavedProjectOpensToTheSameRunByteForByte) {
  TemporaryFolder folder("chung-project");
  const RunSetup saved = HdpeSetup();
  const auto path = folder.Path() / "hdpe.chung";
  ASSERT_EQ(WriteProjectFile(path.string(), saved), "");
  EXPECT_TRUE(IsProjectFile(path.string()));
  std::string error;
  const std::optional<RunSetup> opened = ReadProjectFile(path.string(), error);
  ASSERT_TRUE(opened) << error;
  EXPECT_EQ(ProjectJson(*opened), ReadText(path));
  EXPECT_EQ(opened->Texts, saved.Texts);
  EXPECT_EQ(MaterialJson(*opened->Material), MaterialJson(*saved.Material));
  EXPECT_EQ(SetupMeltTexts(*opened, '.')[DieDiameterInput], "0.8");
  EXPECT_EQ(SetupMeltTexts(*opened, '.')[DieLengthInput], "2.0");  // the stage's initial text
  EXPECT_EQ(opened->Study.Axes, saved.Study.Axes);
  EXPECT_TRUE(opened->UnknownNames.empty());
  // A project written before the barrel heat transfer factor opens with the factor's initial text.
  ordered_json older = ordered_json::parse(ReadText(path));
  older["melt_stage"]["inputs"].erase("BarrelHeatTransferFactor");
  const std::optional<RunSetup> old = ParseProjectJson(older.dump(), error);
  ASSERT_TRUE(old) << error;
  EXPECT_EQ(old->Melt[BarrelHeatTransferFactorInput], "1,0");
  EXPECT_EQ(ReportOf(SetupTexts(*opened, '.'), opened->UnitIndex, folder.Path() / "opened.txt"),
            ReportOf(SetupTexts(saved, '.'), saved.UnitIndex, folder.Path() / "saved.txt"));
}

TEST(ProjectFile, StudySetupReadsUnderEitherSeparator) {
  const struct {
    char Typed, Read;
    const char* Axis;
    const char* Expected;
  } cases[] = {
      {'.', ',', "DieDiameter=0.5,0.8", "DieDiameter=0,5;0,8"},
      {'.', ',', "ScrewSpeed=20.5:60:10", "ScrewSpeed=20,5:60:10"},
      {',', '.', "DieDiameter=0,5;0,8", "DieDiameter=0.5;0.8"},
      {'.', ',', "Material=LDPE,my.grade.json", "Material=LDPE;my.grade.json"},
      {',', '.', "Material=LDPE;my,grade.json", "Material=LDPE;my,grade.json"},
      {'.', '.', "DieDiameter=0.5,0.8", "DieDiameter=0.5,0.8"},
  };
  for (const auto& c : cases) {
    RunSetup setup = InitialRunSetup(c.Typed);
    setup.Study.Axes = {c.Axis};
    setup.Study.Find = c.Typed == '.' ? "Output=100.5:400" : "Output=100,5:400";
    setup.Study.Tolerance = c.Typed == '.' ? "0.25" : "0,25";
    const StudySetup study = SetupStudy(setup, c.Read);
    EXPECT_EQ(study.Axes.front(), c.Expected) << c.Axis << " typed with " << c.Typed;
    EXPECT_EQ(study.Find, c.Read == '.' ? "Output=100.5:400" : "Output=100,5:400");
    EXPECT_EQ(study.Tolerance, c.Read == '.' ? "0.25" : "0,25");
  }
}

TEST(ProjectFile, MembersOfANewerVersionAreKeptAndNoted) {
  ordered_json file = ordered_json::parse(ProjectJson(HdpeSetup()));
  file["format_version"] = 2;
  file["screw_elements"] = {{"kind", "Maddock"}};
  file["inputs"]["BarrelZones"] = "3";
  file["material"]["colour"] = "natural";
  file["study"]["objective"] = "max output";
  std::string error;
  std::optional<RunSetup> setup = ParseProjectJson(file.dump(), error);
  ASSERT_TRUE(setup) << error;
  EXPECT_EQ(UnknownMembersNote(*setup),
            "The project holds members this version does not know, kept as they are: screw_elements, "
            "inputs.BarrelZones, material.colour, study.objective.");
  setup->Texts[0] = "16,0";
  const ordered_json written = ordered_json::parse(ProjectJson(*setup));
  EXPECT_EQ(written["screw_elements"], file["screw_elements"]);
  EXPECT_EQ(written["inputs"]["BarrelZones"], "3");
  EXPECT_EQ(written["inputs"]["ScrewDiameter"], "16,0");
  EXPECT_EQ(written["material"]["colour"], "natural");
  EXPECT_EQ(written["format_version"], 2);
  setup->Material->Key = "HDPE-other";  // another material carries nothing of the old one
  EXPECT_FALSE(ordered_json::parse(ProjectJson(*setup))["material"].contains("colour"));
}

TEST(ProjectFile, BadProjectsAreRefusedByMemberAndLeaveTheFileAlone) {
  const ordered_json good = ordered_json::parse(ProjectJson(HdpeSetup()));
  const struct {
    const char* What;
    void (*Change)(ordered_json&);
    const char* Message;
  } cases[] = {
      {"missing input", [](ordered_json& j) { j["inputs"].erase("FeedDepth"); }, "inputs.FeedDepth is missing"},
      {"number for a text", [](ordered_json& j) { j["inputs"]["FeedDepth"] = 1.4; }, "inputs.FeedDepth must be a text"},
      {"unit index text", [](ordered_json& j) { j["viscosity_unit_index"] = "1"; }, "viscosity_unit_index must be"},
      {"separator", [](ordered_json& j) { j["decimal_separator"] = ";"; }, "decimal_separator must be"},
      {"negative density", [](ordered_json& j) { j["material"]["values"]["MeltDensity"]["value"] = -1; },
       "material.values.MeltDensity.value must be greater than 0"},
      {"material format", [](ordered_json& j) { j["material"].erase("format"); }, "material.format is missing"},
      {"stage switch", [](ordered_json& j) { j["melt_stage"]["on"] = "yes"; }, "melt_stage.on must be true or false"},
      {"other format", [](ordered_json& j) { j["format"] = "chung-material"; }, "format must be \"chung-project\""},
  };
  for (const auto& bad : cases) {
    ordered_json changed = good;
    bad.Change(changed);
    std::string error;
    EXPECT_FALSE(ParseProjectJson(changed.dump(), error)) << bad.What;
    EXPECT_NE(error.find(bad.Message), std::string::npos) << bad.What << ": " << error;
  }

  TemporaryFolder folder("chung-bad-project");
  const auto path = folder.Path() / "p.chung";
  WriteText(path, "{ not json");
  std::string error;
  EXPECT_FALSE(ReadProjectFile(path.string(), error));
  EXPECT_NE(error.find("is not JSON"), std::string::npos);
  RunSetup bad = HdpeSetup();
  bad.Material->Values[static_cast<int>(MaterialValue::ViscN)] = 0;
  EXPECT_EQ(WriteProjectFile(path.string(), bad), "material.values.ViscN.value must be greater than 0 and at most 1, not 0");
  EXPECT_EQ(ReadText(path), "{ not json");
}

TEST(ProjectFile, ProjectsAreToldFromDataFilesByNameOrFirstByte) {
  TemporaryFolder folder("chung-project-kind");
  const struct {
    const char* Name;
    const char* Text;  // null: no file
    bool Project;
  } cases[] = {{"new.chung", nullptr, true},      {"p.json", "  \n{\"format\": 1}", true},
               {"default.txt", "Screw Diameter = 15.0\n", false}, {"empty.txt", "", false},
               {"blank.txt", " \n\t\n", false},  {"missing.txt", nullptr, false}};
  for (const auto& file : cases) {
    const auto path = folder.Path() / file.Name;
    if (file.Text) WriteText(path, file.Text);
    EXPECT_EQ(IsProjectFile(path.string()), file.Project) << file.Name;
  }
}

}  // namespace
