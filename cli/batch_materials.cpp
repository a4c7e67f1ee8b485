// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch_materials.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "batch_options.h"
#include "batch_run.h"
#include "materials/material_inputs.h"
#include "materials/viscosity_fit.h"
#include "results/input_names.h"
#include "results/number_text.h"

namespace {

const char* SourceLawName(SourceLawKind kind) {
  switch (kind) {
    case SourceLawKind::CrossWlf:
      return "Cross-WLF law";
    case SourceLawKind::CrossArrhenius:
      return "Cross law with an Arrhenius zero-shear viscosity";
    case SourceLawKind::PowerLaw:
      break;
  }
  return "power law";
}

void PrintFit(const ViscosityFit& fit, std::ostream& out) {
  Material stored;
  StoreFit(fit, ViscosityUnit::GfSPerCm2, stored);
  out << "ViscM0 = " << RoundTripText(stored.Value(MaterialValue::ViscM0)) << " gf.s^n/cm2 = "
      << RoundTripText(RoundSignificant(fit.M0, 5)) << " Pa.s^n\n"
      << "ViscB = " << RoundTripText(stored.Value(MaterialValue::ViscB)) << " 1/\u00B0C\n"
      << "ViscN = " << RoundTripText(stored.Value(MaterialValue::ViscN)) << "\n"
      << "ViscT0 = " << RoundTripText(fit.T0) << " \u00B0C\n"
      << "error of mu against the source: rms " << FixedText(fit.RmsPercent, 1) << " %, largest "
      << FixedText(fit.MaxPercent, 1) << " %\n";
}

}  // namespace

MaterialLibrary BatchMaterialLibrary(std::ostream& err) {
  MaterialLibrary library = LoadMaterialLibrary();
  for (const std::string& problem : library.Problems) err << "warning: " << problem << '\n';
  return library;
}

int ListMaterialsCommand(std::ostream& out, std::ostream& err) {
  const MaterialLibrary library = BatchMaterialLibrary(err);
  std::size_t keyWidth = 3;
  for (const Material& material : library.Materials) keyWidth = std::max(keyWidth, material.Key.size());
  const auto padded = [](std::string text, std::size_t width) { return text.append(width - text.size() + 2, ' '); };
  out << padded("key", keyWidth) << padded("class", 16) << padded("quality", 8) << padded("from", 8) << "name\n";
  for (const Material& material : library.Materials) {
    out << padded(material.Key, keyWidth) << padded(PolymerClassText(material.Class), 16)
        << padded(QualitySummary(material), 8) << padded(MaterialOriginText(material.Origin), 8) << material.Name
        << '\n';
  }
  out << "quality: viscosity law, SolidDensity, MeltDensity, SolidSpecificHeat, HeatOfFusion,\n"
         "MeltSpecificHeat, MeltConductivity, MeltingPoint; A a full table read, B an excerpt,\n"
         "a transcription or a room-temperature proxy, C an estimate, - the program's default\n";
  return BatchExitCompleted;
}

int ShowMaterialCommand(const std::string& name, std::ostream& out, std::ostream& err) {
  std::string error;
  const std::optional<Material> material = ResolveMaterial(name, BatchMaterialLibrary(err), error);
  if (!material) {
    err << "chung-batch: " << error << '\n';
    return BatchExitDataFileRefused;
  }
  out << MaterialJson(*material);
  return BatchExitCompleted;
}

int FitViscosityCommand(const std::string& source, std::ostream& out, std::ostream& err) {
  const MaterialLibrary library = BatchMaterialLibrary(err);
  std::string error;
  std::optional<Material> material;
  if (FindMaterial(library, source) || source.ends_with(".json")) {
    material = ResolveMaterial(source, library, error);
    if (!material) {
      err << "chung-batch: " << error << '\n';
      return BatchExitDataFileRefused;
    }
  }
  if (material) {
    if (!material->SourceLaw) {
      err << "chung-batch: material " << material->Key
          << " has no source law to fit; give a file of measured points instead\n";
      return BatchExitDataFileRefused;
    }
    const FitGrid grid = MaterialFitGrid(*material);
    const ViscosityFit fit = FitSourceLaw(*material->SourceLaw, grid);
    if (!fit.Fitted) {
      err << "chung-batch: " << fit.Problem << '\n';
      return BatchExitFailed;
    }
    out << material->Key << ": the " << SourceLawName(material->SourceLaw->Kind) << " over "
        << RoundTripText(grid.Temperature.Low) << " to " << RoundTripText(grid.Temperature.High) << " \u00B0C and "
        << RoundTripText(grid.ShearRate.Low) << " to " << RoundTripText(grid.ShearRate.High) << " 1/s ("
        << grid.Points << " x " << grid.Points << " points)\n";
    PrintFit(fit, out);
    return BatchExitCompleted;
  }
  std::ifstream file(source, std::ios::binary);
  if (!file || std::filesystem::is_directory(source)) {
    err << "chung-batch: no material \"" << source << "\" and no file of measured points of that name; the materials are "
        << MaterialKeyList(library) << '\n';
    return BatchExitDataFileRefused;
  }
  std::string text;
  char block[65536];
  while (text.size() <= MaxMaterialFileBytes && file.read(block, sizeof block).gcount() > 0) {
    text.append(block, static_cast<std::size_t>(file.gcount()));
  }
  if (text.size() > MaxMaterialFileBytes) {
    err << "chung-batch: the file of measured points " << source << " is larger than 1 MiB\n";
    return BatchExitDataFileRefused;
  }
  const std::optional<std::vector<ViscosityPoint>> points = ParseViscosityPoints(text, error);
  if (!points) {
    err << "chung-batch: " << source << ": " << error << '\n';
    return BatchExitDataFileRefused;
  }
  const ViscosityFit fit = FitViscosityPoints(*points);
  if (!fit.Fitted) {
    err << "chung-batch: " << source << ": " << fit.Problem << '\n';
    return BatchExitDataFileRefused;
  }
  out << source << ": " << points->size() << " measured points\n";
  PrintFit(fit, out);
  return BatchExitCompleted;
}

int ApplyBatchMaterials(BatchOptions& options, RunSetup& setup, char decimalSeparator, std::ostream& err) {
  const bool varied = std::any_of(options.Plan.Axes.begin(), options.Plan.Axes.end(),
                                  [](const StudyAxis& axis) { return axis.Input == MaterialAxisInput; });
  if (!options.MaterialName && !varied) return 0;
  const MaterialLibrary library = BatchMaterialLibrary(err);
  if (options.MaterialName) {
    std::string error;
    std::optional<Material> material = ResolveMaterial(*options.MaterialName, library, error);
    if (!material) {
      err << "chung-batch: option --material: " << error << '\n';
      return BatchExitDataFileRefused;
    }
    setup.Material = std::move(*material);
    ApplyMaterial(*setup.Material, setup.Texts, setup.UnitIndex, decimalSeparator);
  }
  if (const std::string problem = ResolveMaterialAxes(options.Plan, library); !problem.empty()) {
    err << "chung-batch: option --vary Material: " << problem << '\n';
    return BatchExitDataFileRefused;
  }
  return 0;
}

bool ApplyProjectStudy(const std::vector<std::string>& args, BatchOptions& options, char decimalSeparator,
                       std::string& error) {
  if (!options.StudyFile || !options.DataFile || !IsProjectFile(*options.DataFile)) return true;
  const bool vary = options.Plan.Axes.empty(), find = !options.Find;
  if (!vary && !find) return true;
  std::string unread;
  const std::optional<RunSetup> project = ReadProjectFile(*options.DataFile, unread);
  if (!project) return true;
  const StudySetup study = SetupStudy(*project, decimalSeparator);
  std::vector<std::string> all = args;
  if (vary) {
    for (const std::string& axis : study.Axes) all.insert(all.end(), {"--vary", axis});
  }
  if (find && !study.Find.empty()) {
    all.insert(all.end(), {"--find", study.Find});
    if (!study.Until.empty()) all.insert(all.end(), {"--until", study.Until});
    if (study.Smallest) all.push_back("--smallest");
    if (!study.Tolerance.empty()) all.insert(all.end(), {"--tolerance", study.Tolerance});
    if (!study.Bound.empty()) all.insert(all.end(), {"--bound", study.Bound});
  }
  if (all.size() == args.size()) return true;
  if (ParseBatchArguments(all, options, error, decimalSeparator)) return true;
  error = "the study setup of the project " + *options.DataFile + ": " + error;
  return false;
}

bool LoadProjectFile(const std::string& path, BatchOptions& options, RunSetup& setup, char decimalSeparator,
                     std::ostream& err) {
  std::string error;
  std::optional<RunSetup> project = ReadProjectFile(path, error);
  if (!project) {
    err << error << '\n';
    return false;
  }
  if (const std::string note = UnknownMembersNote(*project); !note.empty()) err << "note: " << note << '\n';
  setup = std::move(*project);
  // From here on the texts are in the run's separator.
  setup.Texts = SetupTexts(setup, decimalSeparator);
  setup.Melt = SetupMeltTexts(setup, decimalSeparator);
  setup.Study = SetupStudy(setup, decimalSeparator);
  setup.DecimalSeparator = decimalSeparator;
  // Its die counts only with its stage on; a stage the command line turns
  // on for a project without one starts from the initial die.
  if (setup.MeltStage) {
    options.Melt = true;
  } else {
    setup.Melt = InitialMeltTexts(decimalSeparator);
  }
  return true;
}
