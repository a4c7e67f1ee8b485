// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up cost of the material library: the built-in records and 100 user
// materials read and checked from their files, as both programs do when a
// material is chosen (the window at start-up).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>

#include "materials/material_library.h"

namespace {

void BM_LoadLibraryWith100UserMaterials(benchmark::State& state) {
  namespace fs = std::filesystem;
  const fs::path user = fs::temp_directory_path() / ("chung-bench-materials-" + std::to_string(::getpid()));
  fs::create_directories(user);
  const MaterialLibrary builtIn = LoadMaterialLibrary(BuiltInMaterialsFolder(), "");
  for (int k = 0; k < 100; ++k) {
    Material material = builtIn.Materials[k % builtIn.Materials.size()];
    material.Key = "user-" + std::to_string(k);
    WriteMaterialFile(UserMaterialPath(user.string(), material.Key), material);
  }
  std::size_t count = 0;
  for (auto _ : state) {
    const MaterialLibrary library = LoadMaterialLibrary(BuiltInMaterialsFolder(), user.string());
    count = library.Materials.size();
    benchmark::DoNotOptimize(count);
  }
  state.counters["materials"] = static_cast<double>(count);
  fs::remove_all(user);
}
BENCHMARK(BM_LoadLibraryWith100UserMaterials)->Unit(benchmark::kMillisecond);

}  // namespace
