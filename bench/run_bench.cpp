// Speed of one calculation and of one whole run with its report.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <unistd.h>

#include "app/run_command.h"
#include "model/calculation.h"
#include "model/number_conversion.h"

namespace {

class SilentMessages : public UserMessages {
 public:
  void ShowMessage(const std::string&) override {}
};

void BM_RunCalculation(benchmark::State& bench) {
  ModelState state;
  for (int k = 0; k < InputCount; ++k) state.Inputs.*InputMembers[k] = *ConvertNumber(InputFields[k].InitialText);
  state.Inputs.ViscosityUnit = ViscosityUnit::GfSPerCm2;
  state.ViscousHeatFactor = 2.343e-05;
  state.PowerFactor = 9.8e-05;
  for (auto _ : bench) {
    RunCalculation(state);
    benchmark::DoNotOptimize(state.Profile.MeltingPower);
  }
}
BENCHMARK(BM_RunCalculation);

void BM_RunCommand(benchmark::State& bench) {
  const std::filesystem::path file =
      std::filesystem::temp_directory_path() / ("chung-bench-" + std::to_string(getpid()) + ".txt");
  RunTexts texts = InitialRunTexts();
  texts[InputCount] = file.string();
  ModelState state;
  SilentMessages messages;
  for (auto _ : bench) {
    const RunOutcome outcome = RunCommand(state, texts, 1, messages);
    if (outcome.Result != RunResult::Completed) bench.SkipWithError(outcome.Message.c_str());
  }
  std::filesystem::remove(file);
}
BENCHMARK(BM_RunCommand);

}  // namespace
