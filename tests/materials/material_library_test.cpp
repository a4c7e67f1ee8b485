// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdlib>
#include <nlohmann/json.hpp>

#include "material_test_support.h"
#include "materials/material_inputs.h"
#include "materials/material_library.h"

namespace fs = std::filesystem;

namespace {

// LDPE's file under another key.
std::string UserMaterialText(const std::string& key) {
  nlohmann::ordered_json file = nlohmann::ordered_json::parse(LibraryFileText("LDPE"));
  file["key"] = key;
  file["name"] = "My " + key;
  return file.dump(2) + "\n";
}

TEST(MaterialLibrary, UserFilesThatCanNotBeTakenAreLeftOutWithTheirReason) {
  TemporaryFolder user("chung-user-materials");
  WriteText(user.Path() / "Mine.json", UserMaterialText("Mine"));
  WriteText(user.Path() / "LDPE.json", UserMaterialText("LDPE"));             // a built-in's key
  WriteText(user.Path() / "mine.json", UserMaterialText("mine"));             // Mine in other letters
  WriteText(user.Path() / "Other.json", UserMaterialText("Another"));         // not its file's name
  WriteText(user.Path() / "Broken.json", "{");
  WriteText(user.Path() / "readme.txt", "not a material");
  fs::create_symlink(user.Path() / "Mine.json", user.Path() / "Linked.json");

  const MaterialLibrary library = LoadMaterialLibrary(CHUNG_LIBRARY_DIR, user.Path().string());
  ASSERT_EQ(library.Materials.size(), 13u);
  EXPECT_EQ(library.Materials.back().Key, "Mine");
  EXPECT_EQ(library.Materials.back().Origin, MaterialOrigin::User);
  EXPECT_EQ(FindMaterial(library, "LDPE")->Origin, MaterialOrigin::BuiltIn);
  const std::vector<std::string> expected = {
      "Broken.json: is not JSON",
      "LDPE.json: key \"LDPE\" is already the key of built-in material",
      "Linked.json is a symbolic link",
      "Other.json: key \"Another\" must be the file's name",
      "mine.json: key \"mine\" is already the key of user material",
  };
  ASSERT_EQ(library.Problems.size(), expected.size());
  for (std::size_t k = 0; k < expected.size(); ++k) {
    EXPECT_NE(library.Problems[k].find(expected[k]), std::string::npos) << library.Problems[k];
  }
}

TEST(MaterialLibrary, SavingWritesAUserFileWholeAndRefusesWithoutTouchingIt) {
  TemporaryFolder data("chung-save-materials");
  const std::string folder = (data.Path() / "chung" / "materials").string();  // created on first save
  MaterialLibrary library = LoadMaterialLibrary(CHUNG_LIBRARY_DIR, folder);
  Material mine = *FindMaterial(library, "HDPE");
  mine.Key = "HDPE-mine";
  mine.Notes = "from our own rheometer";
  ASSERT_EQ(SaveUserMaterial(mine, library, folder), "");
  library = LoadMaterialLibrary(CHUNG_LIBRARY_DIR, folder);
  ASSERT_NE(FindMaterial(library, "HDPE-mine"), nullptr);
  EXPECT_EQ(MaterialJson(*FindMaterial(library, "HDPE-mine")), MaterialJson(mine));
  const std::string saved = ReadText(UserMaterialPath(folder, "HDPE-mine"));

  Material bad = mine;
  bad.Values[static_cast<int>(MaterialValue::MeltDensity)] = -1;
  EXPECT_EQ(SaveUserMaterial(bad, library, folder), "values.MeltDensity.value must be greater than 0, not -1");
  Material builtIn = mine;
  builtIn.Key = "hdpe";
  EXPECT_NE(SaveUserMaterial(builtIn, library, folder).find("is a built-in material's"), std::string::npos);
  EXPECT_EQ(ReadText(UserMaterialPath(folder, "HDPE-mine")), saved);
  EXPECT_FALSE(fs::exists(UserMaterialPath(folder, "hdpe")));

  EXPECT_EQ(DeleteUserMaterial("HDPE-mine", folder), "");
  EXPECT_FALSE(fs::exists(UserMaterialPath(folder, "HDPE-mine")));
  EXPECT_NE(DeleteUserMaterial("../x", folder), "");
}

TEST(MaterialLibrary, UserFolderFollowsXdgDataHomeThenHome) {
  const char* savedData = std::getenv("XDG_DATA_HOME");
  const char* savedHome = std::getenv("HOME");
  const std::string data = savedData ? savedData : "", home = savedHome ? savedHome : "";
  ::setenv("HOME", "/home/engineer", 1);
  ::setenv("XDG_DATA_HOME", "/data", 1);
  EXPECT_EQ(UserMaterialsFolder(), "/data/chung/materials");
  ::setenv("XDG_DATA_HOME", "relative", 1);  // not absolute: ignored, as the XDG rules say
  EXPECT_EQ(UserMaterialsFolder(), "/home/engineer/.local/share/chung/materials");
  ::unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(UserMaterialsFolder(), "/home/engineer/.local/share/chung/materials");
  savedData ? (void)::setenv("XDG_DATA_HOME", data.c_str(), 1) : (void)::unsetenv("XDG_DATA_HOME");
  savedHome ? (void)::setenv("HOME", home.c_str(), 1) : (void)::unsetenv("HOME");
}

TEST(MaterialInputs, MZeroIsConvertedOnlyWhenTheRunsUnitDiffers) {
  const MaterialLibrary library = LoadMaterialLibrary(CHUNG_LIBRARY_DIR, "");
  const Material& pet = *FindMaterial(library, "PET");
  RunTexts texts = InitialRunTexts(',');
  ApplyMaterial(pet, texts, 1, ',');
  EXPECT_EQ(texts[FirstMaterialInput], "2,052");
  EXPECT_EQ(texts[FirstMaterialInput + 4], "1,34");
  EXPECT_EQ(texts[FirstMaterialInput + 10], "265");
  EXPECT_EQ(MaterialM0(pet, 0), static_cast<double>(static_cast<long double>(2.052) * 98.0665L));
  Material pascal = pet;
  pascal.M0Unit = ViscosityUnit::PaS;
  pascal.Values[0] = 201.2325;
  EXPECT_EQ(MaterialM0(pascal, 0), 201.2325);
  EXPECT_EQ(MaterialM0(pascal, 1), static_cast<double>(201.2325L / 98.0665L));
}

TEST(MaterialInputs, WarningsNameTheWindowAndTheMeltingPoint) {
  const MaterialLibrary library = LoadMaterialLibrary(CHUNG_LIBRARY_DIR, "");
  const Material& ldpe = *FindMaterial(library, "LDPE");
  EXPECT_TRUE(MaterialWarnings(ldpe, 200).empty());
  EXPECT_TRUE(MaterialWarnings(ldpe, 112.5).empty());
  const std::vector<std::string> hot = MaterialWarnings(ldpe, 220);
  ASSERT_EQ(hot.size(), 1u);
  EXPECT_EQ(hot[0],
            "The barrel temperature (220 \u00B0C) lies outside LDPE's viscosity fit window (112 to 200 \u00B0C): "
            "its viscosity law is extrapolated there.");
  const std::vector<std::string> cold = MaterialWarnings(ldpe, 112);
  ASSERT_EQ(cold.size(), 1u);
  EXPECT_EQ(cold[0],
            "The barrel temperature (112 \u00B0C) is not above LDPE's melting point (112 \u00B0C, DSC peak): the "
            "barrel can not melt it. Its typical barrel temperature is 200 \u00B0C.");
  EXPECT_EQ(MaterialWarnings(ldpe, 100).size(), 2u);
  EXPECT_EQ(MaterialEstimateNote(ldpe), "LDPE carries estimates (quality C): HeatOfFusion.");
  EXPECT_EQ(MaterialEstimateNote(*FindMaterial(library, "HDPE")), "");
}

}  // namespace
