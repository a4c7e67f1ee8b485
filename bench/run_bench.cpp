// Speed of one calculation, of one whole run with its report, and of a
// parameter study on one and on two workers.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <unistd.h>

#include "app/run_command.h"
#include "model/calculation.h"
#include "model/number_conversion.h"
#include "results/study_plan.h"
#include "results/study_run.h"

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

// 10,000 cases around the initial values, 100 screw speeds by 100 outputs,
// without report files; the rows are kept in memory. The argument is the
// number of workers. Compare the wall ("Time") of 1 and 2 workers.
void BM_Study(benchmark::State& bench) {
  StudyPlan plan;
  std::string error;
  for (const char* argument : {"ScrewSpeed=30:59.7:0.3", "OutputRate=250:349:1"}) {
    plan.Axes.push_back(*ParseStudyAxis(argument, '.', error));
  }
  StudySettings settings;
  settings.Workers = static_cast<unsigned>(bench.range(0));
  const std::atomic<bool> stop{false};
  std::string rows;
  for (auto _ : bench) {
    rows.clear();
    const StudyCounts counts = RunStudy(plan, settings, [&](const std::string& row) {
      rows += row;
      return true;
    }, stop);
    if (counts.Completed != 10000) bench.SkipWithError("not every case completed");
  }
  bench.counters["cases/s"] = benchmark::Counter(10000.0 * bench.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Study)->Arg(1)->Arg(2)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace
