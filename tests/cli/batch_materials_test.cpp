// SPDX-License-Identifier: GPL-3.0-or-later
// chung-batch with materials: the library's records on the default screw,
// --material against the built-in texts, material studies against single
// runs, project files in place of data files, and the material commands.

#include <cstdlib>
#include <nlohmann/json.hpp>

#include "batch_test_support.h"
#include "materials/material_inputs.h"
#include "materials/material_library.h"
#include "materials/project_file.h"

namespace {

using Json = nlohmann::json;

const std::string DefaultFile = CHUNG_EXAMPLES_DIR "/default.txt";

// Runs in a folder of its own with an empty user material folder of its own.
class BatchMaterials : public BatchTempDir {
 protected:
  void SetUp() override {
    BatchTempDir::SetUp();
    if (const char* data = std::getenv("XDG_DATA_HOME")) savedData_ = data;
    ::setenv("XDG_DATA_HOME", (dir_ / "data").c_str(), 1);
  }
  void TearDown() override {
    savedData_ ? (void)::setenv("XDG_DATA_HOME", savedData_->c_str(), 1) : (void)::unsetenv("XDG_DATA_HOME");
    BatchTempDir::TearDown();
  }
  std::optional<std::string> savedData_;
};

Json RunJsonOf(const std::vector<std::string>& args) {
  std::vector<std::string> all = args;
  all.insert(all.end(), {"--no-report", "--json", "run.json"});
  const BatchResult result = Batch(all);
  EXPECT_EQ(result.Code, 0) << result.Err;
  std::ifstream in("run.json");
  return Json::parse(in);
}

// An independent implementation found where melting ends with each record
// at its typical barrel temperature; its turn is a grid point, its powers are to 0.1 kW.
TEST_F(BatchMaterials, EveryLibraryMaterialEndsMeltingAtItsReferenceTurn) {
  const MaterialLibrary library = LoadMaterialLibrary();
  ASSERT_EQ(library.Materials.size(), 12u);
  for (const Material& material : library.Materials) {
    const std::string barrel = "BarrelB0=" + std::to_string(material.TypicalBarrelTemp);
    const Json run = RunJsonOf({DefaultFile, "--material", material.Key, "--set", barrel, "--set", "BarrelB1=0",
                                "--set", "BarrelB2=0"});
    ASSERT_EQ(run["outcome"], "Completed") << material.Key;
    EXPECT_NEAR(run["summary"]["EndTurns"]["value"].get<double>(), material.Reference->MeltingEndTurn, 1e-6)
        << material.Key;
    EXPECT_NEAR(run["summary"]["MeltingPower"]["value"].get<double>(), *material.Reference->MotorPower, 0.051)
        << material.Key;
    EXPECT_EQ(run["material"]["key"], material.Key);
    EXPECT_TRUE(run["material"]["warnings"].empty()) << material.Key;
  }
}

TEST_F(BatchMaterials, TheBuiltInMaterialRunsByteForByteAsWithoutOne) {
  const BatchResult plain = Batch({DefaultFile, "-o", "plain.txt"});
  const BatchResult pet = Batch({DefaultFile, "--material", "PET", "-o", "pet.txt"});
  ASSERT_EQ(plain.Code, 0);
  ASSERT_EQ(pet.Code, 0) << pet.Err;
  EXPECT_EQ(ReadFile("pet.txt"), ReadFile("plain.txt"));
  EXPECT_EQ(pet.Err, "");
}

TEST_F(BatchMaterials, SetOverridesTheMaterialAndWarningsCountForStrict) {
  const Json run = RunJsonOf({DefaultFile, "--material", "LDPE", "--set", "MeltDensity=0.8"});
  EXPECT_EQ(run["inputs"]["MeltDensity"]["text"], "0.8");
  EXPECT_EQ(run["inputs"]["SolidDensity"]["text"], "0.92");
  ASSERT_EQ(run["material"]["warnings"].size(), 1u);  // the default file's 290 degC is beyond LDPE's window
  EXPECT_EQ(run["material"]["note"], "LDPE carries estimates (quality C): HeatOfFusion.");
  std::ifstream schemaFile(CHUNG_DOCS_DIR "/run.schema.json");
  const Json schema = Json::parse(schemaFile)["properties"]["material"];
  for (const auto& [name, value] : schema["properties"].items()) EXPECT_TRUE(run["material"].contains(name)) << name;
  EXPECT_EQ(run["material"].size(), schema["properties"].size());
  const BatchResult strict = Batch({DefaultFile, "--material", "LDPE", "--strict", "--no-report"});
  EXPECT_EQ(strict.Code, BatchExitWarnings);
  EXPECT_NE(strict.Err.find("warning: The barrel temperature (290 \u00B0C) lies outside LDPE's"), std::string::npos);
  // In Pa.s the record's gf.s^n/cm2 is converted.
  const Json pascal = RunJsonOf({CHUNG_EXAMPLES_DIR "/pas_unit.txt", "--material", "HDPE"});
  EXPECT_EQ(pascal["inputs"]["ViscM0"]["value"].get<double>(), static_cast<double>(static_cast<long double>(75.9) * 98.0665L));
}

TEST_F(BatchMaterials, AMaterialStudyRowsAreTheSingleRuns) {
  const BatchResult study = Batch({DefaultFile, "--study", "study.csv", "--vary", "Material=LDPE;hdpe,PP", "--vary",
                                   "BarrelB0=230,250", "-j", "2"});
  ASSERT_EQ(study.Code, 0) << study.Err;
  std::istringstream lines(ReadFile("study.csv"));
  std::string line;
  std::getline(lines, line);
  EXPECT_EQ(line.rfind("case,material,BarrelB0 (\u00B0C),outcome,", 0), 0u) << line;
  for (const char* key : {"LDPE", "HDPE", "PP"}) {
    for (const char* barrel : {"230", "250"}) {
      ASSERT_TRUE(std::getline(lines, line));
      const std::vector<std::string> row = CsvFields(line);
      EXPECT_EQ(row[1], key);
      const Json run = RunJsonOf({DefaultFile, "--material", key, "--set", std::string("BarrelB0=") + barrel});
      EXPECT_EQ(row[3], "Completed");
      EXPECT_EQ(std::stod(row[6]), run["summary"]["EndTurns"]["value"].get<double>()) << key << barrel;
      EXPECT_EQ(std::stod(row[10]), run["summary"]["MeltingPower"]["value"].get<double>()) << key << barrel;
      // The warnings a single run prints: the summary's, then the material's.
      std::string warnings;
      for (const Json& warning : run["summary"]["Warnings"]) warnings += (warnings.empty() ? "" : " | ") + warning.get<std::string>();
      for (const Json& warning : run["material"]["warnings"]) warnings += (warnings.empty() ? "" : " | ") + warning.get<std::string>();
      EXPECT_EQ(row[14], warnings) << key << barrel;
    }
  }
  EXPECT_NE(ReadFile("study.csv").find("outside LDPE's"), std::string::npos);
  const BatchResult unknown = Batch({DefaultFile, "--study", "s.csv", "--vary", "Material=LDPE;XYZ"});
  EXPECT_EQ(unknown.Code, BatchExitDataFileRefused);
  EXPECT_NE(unknown.Err.find("option --vary Material: no material \"XYZ\""), std::string::npos) << unknown.Err;
  EXPECT_FALSE(std::filesystem::exists("s.csv"));
}

// The same key with another record (here its fit window, which no input
// text shows) gives other warnings: its shards belong to another study.
TEST_F(BatchMaterials, ShardsRunWithChangedMaterialRecordsAreNotMerged) {
  const std::string ldpe = Batch({"--show-material", "LDPE"}).Out;
  Json changed = Json::parse(ldpe);
  changed["fit"]["T_range"][1] = 300.0;
  for (const std::vector<std::string>& material :
       {std::vector<std::string>{"--material", "mine.json"}, {"--vary", "Material=HDPE;mine.json"}}) {
    std::vector<std::string> args{DefaultFile, "--study", "a.csv", "--vary", "ScrewSpeed=30,40", "--shard", "1/2"};
    args.insert(args.end(), material.begin(), material.end());
    WriteFile("mine.json", ldpe);
    ASSERT_EQ(Batch(args).Code, 0);
    args[2] = "b.csv";
    args[6] = "2/2";
    ASSERT_EQ(Batch(args).Code, 0);
    EXPECT_EQ(Batch({"--merge", "same.csv", "a.csv", "b.csv"}).Code, 0) << material[1];
    WriteFile("mine.json", changed.dump(2));
    ASSERT_EQ(Batch(args).Code, 0);
    const BatchResult merge = Batch({"--merge", "out.csv", "a.csv", "b.csv"});
    EXPECT_EQ(merge.Code, BatchExitDataFileRefused) << material[1];
    EXPECT_EQ(merge.Err, "chung-batch: b.csv line 1: a shard of another study than a.csv\n");
  }
}

// Above LDPE's fit window (to 200 degC) the law is extrapolated: a warning,
// so the case is not clean, in a search as in a study of searches per material.
TEST_F(BatchMaterials, AMaterialWarningMakesACaseNotClean) {
  const BatchResult find = Batch({DefaultFile, "--material", "LDPE", "--find", "BarrelB0=150:300", "--until", "clean",
                                  "--no-report", "--strict"});
  EXPECT_TRUE(find.Out.starts_with("largest BarrelB0 where clean holds: 200 \u00B0C")) << find.Out;
  EXPECT_EQ(find.Code, BatchExitCompleted) << find.Err;  // the run at 200 degC warns of nothing
  const BatchResult study = Batch({DefaultFile, "--find", "BarrelB0=150:300", "--until", "clean", "--study",
                                   "limits.csv", "--vary", "Material=LDPE;HDPE"});
  ASSERT_EQ(study.Code, 0) << study.Err;
  const std::string rows = ReadFile("limits.csv");
  const std::string ldpe = rows.substr(rows.find('\n') + 1);
  EXPECT_EQ(CsvFields(ldpe.substr(0, ldpe.find('\n')))[2], "200") << rows;
}

TEST_F(BatchMaterials, AProjectFileRunsInPlaceOfADataFile) {
  const MaterialLibrary library = LoadMaterialLibrary();
  RunSetup setup = InitialRunSetup(',');
  setup.Material = *FindMaterial(library, "PP");
  ApplyMaterial(*setup.Material, setup.Texts, setup.UnitIndex, ',');
  setup.Texts[11] = "230,0";
  ASSERT_EQ(WriteProjectFile("pp.chung", setup), "");
  const BatchResult project = Batch({"pp.chung", "-o", "project.txt"});
  const BatchResult direct = Batch({"--material", "PP", "--set", "BarrelB0=230", "-o", "direct.txt"});
  ASSERT_EQ(project.Code, 0) << project.Err;
  EXPECT_EQ(ReadFile("project.txt"), ReadFile("direct.txt"));
  // Its stage, typed with ',', runs under '.' too.
  setup.MeltStage = true;
  setup.Melt[DieModeInput] = "Capillary";
  setup.Melt[DieDiameterInput] = "0,6";
  ASSERT_EQ(WriteProjectFile("stage.chung", setup), "");
  const Json stage = RunJsonOf({"stage.chung"});
  EXPECT_EQ(stage["inputs"]["DieDiameter"]["value"], 0.6);
  EXPECT_FALSE(stage["melt"].is_null());
  WriteFile("bad.chung", "{\"format\": \"chung-project\"}");
  const BatchResult bad = Batch({"bad.chung"});
  EXPECT_EQ(bad.Code, BatchExitDataFileRefused);
  EXPECT_NE(bad.Err.find("format_version is missing"), std::string::npos) << bad.Err;
}

// With --study a project's study setup stands for the --vary and --find the
// command line leaves out; without --study the project runs once.
TEST_F(BatchMaterials, AProjectsStudySetupRunsWhereTheCommandLineGivesNone) {
  RunSetup setup = InitialRunSetup(',');
  setup.Study.Axes = {"ScrewSpeed=30;40"};
  ASSERT_EQ(WriteProjectFile("axes.chung", setup), "");
  setup.Study.Find = "OutputRate=100:1000";
  setup.Study.Until = "melted";
  setup.Study.Smallest = true;
  setup.Study.Tolerance = "0,5";
  ASSERT_EQ(WriteProjectFile("find.chung", setup), "");
  const std::vector<std::pair<std::vector<std::string>, std::vector<std::string>>> same = {
      {{"axes.chung", "--study", "a.csv"}, {"--study", "b.csv", "--vary", "ScrewSpeed=30;40"}},
      {{"axes.chung", "--study", "a.csv", "--vary", "OutputRate=200;300"}, {"--study", "b.csv", "--vary", "OutputRate=200;300"}},
      {{"find.chung", "--study", "a.csv"},
       {"--study", "b.csv", "--vary", "ScrewSpeed=30;40", "--find", "OutputRate=100:1000", "--until", "melted",
        "--smallest", "--tolerance", "0.5"}},
      {{"find.chung", "--study", "a.csv", "--find", "BarrelB0=200:300", "--until", "clean"},
       {"--study", "b.csv", "--vary", "ScrewSpeed=30;40", "--find", "BarrelB0=200:300", "--until", "clean"}},
  };
  for (const auto& [project, plain] : same) {
    const BatchResult withProject = Batch(project);
    ASSERT_EQ(withProject.Code, 0) << withProject.Err;
    ASSERT_EQ(Batch(plain).Code, 0);
    EXPECT_EQ(ReadFile("a.csv"), ReadFile("b.csv")) << project.back();
  }
  // A die-reached search judges by the bound the project names.
  setup.Study = {{}, "OutputRate=100:1000", "die-reached", false, "", "Adiabatic"};
  setup.MeltStage = true;
  setup.Melt[DieModeInput] = "Capillary";
  setup.Melt[DieDiameterInput] = "0,5";
  setup.Melt[DieLengthInput] = "2";
  ASSERT_EQ(WriteProjectFile("die.chung", setup), "");
  ASSERT_EQ(Batch({"die.chung", "--study", "a.csv"}).Code, 0);
  ASSERT_EQ(Batch({"die.chung", "--study", "b.csv", "--find", "OutputRate=100:1000", "--until", "die-reached",
                   "--bound", "Adiabatic"}).Code, 0);
  ASSERT_EQ(Batch({"die.chung", "--study", "c.csv", "--find", "OutputRate=100:1000", "--until", "die-reached"}).Code, 0);
  EXPECT_EQ(ReadFile("a.csv"), ReadFile("b.csv"));
  EXPECT_NE(ReadFile("a.csv"), ReadFile("c.csv"));
  setup = InitialRunSetup(',');
  setup.Study.Find = "OutputRate=100:1000";
  setup.Study.Until = "melted";
  const BatchResult single = Batch({"find.chung", "--no-report"});
  EXPECT_EQ(single.Code, 0) << single.Err;
  EXPECT_TRUE(single.Out.starts_with("Run completed, no report written")) << single.Out;
  setup.Study.Until.clear();
  ASSERT_EQ(WriteProjectFile("bad.chung", setup), "");
  const BatchResult bad = Batch({"bad.chung", "--study", "a.csv"});
  EXPECT_EQ(bad.Code, BatchExitUsage);
  EXPECT_TRUE(bad.Err.starts_with("chung-batch: the study setup of the project bad.chung: option --find needs --until"))
      << bad.Err;
}

TEST_F(BatchMaterials, MaterialCommandsListShowAndFit) {
  const MaterialLibrary library = LoadMaterialLibrary();
  Material mine = *FindMaterial(library, "PP");
  mine.Key = "PP-lab";
  ASSERT_EQ(SaveUserMaterial(mine, library, UserMaterialsFolder()), "");
  WriteFile(dir_ / "data" / "chung" / "materials" / "Broken.json", "{");

  const BatchResult list = Batch({"--list-materials"});
  EXPECT_EQ(list.Code, 0);
  EXPECT_NE(list.Out.find("PP-lab  semi-crystalline  BABBACBA  user      PP (Dow"), std::string::npos) << list.Out;
  EXPECT_NE(list.Err.find("warning: Material file "), std::string::npos);
  const BatchResult show = Batch({"--show-material", "pp-lab"});
  EXPECT_EQ(show.Out, MaterialJson(mine));
  const BatchResult fit = Batch({"--fit-viscosity", "PMMA"});
  EXPECT_NE(fit.Out.find("ViscM0 = 767 gf.s^n/cm2"), std::string::npos) << fit.Out;
  WriteFile("points.txt", "T;gamma;mu\n200;100;1000\n220;1000;300\n240;300;400\n200;1000;400\n");
  const BatchResult points = Batch({"--fit-viscosity", "points.txt"});
  EXPECT_EQ(points.Code, 0) << points.Err;
  EXPECT_NE(points.Out.find("ViscT0 = 240 \u00B0C"), std::string::npos) << points.Out;
  EXPECT_EQ(Batch({"--fit-viscosity", "PC"}).Code, BatchExitDataFileRefused);  // no source law
  EXPECT_EQ(Batch({"--list-materials", "--strict"}).Code, BatchExitUsage);
}

}  // namespace
