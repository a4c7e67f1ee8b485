// Speed of the melt-conveying stage alone after a run of the initial
// inputs (compare with BM_RunCalculation), with and without the best
// estimate's barrel exchange, of one profile's margin (a search's trial
// after its run), of one trial run, and of one operating point with the
// 0.5 x 2 cm capillary, whose runs are counted (compare with three times
// runs/bound x BM_TrialRun).
#include <benchmark/benchmark.h>

#include "melt/melt_operating_point.h"
#include "melt/melt_stage.h"

namespace {

class NoMessages : public UserMessages {
 public:
  void ShowMessage(const std::string&) override {}
};

struct InitialRun {
  ModelState State;
  RunTexts Texts = InitialRunTexts();
  MeltTexts Melt = InitialMeltTexts();
  MeltStage Stage;
  bool Completed = false;

  explicit InitialRun(const char* dieMode) {
    Melt[DieModeInput] = dieMode;
    NoMessages messages;
    const MeltRunOutcomes outcomes =
        RunWithMeltStage(State, Texts, InitialUnitIndex, messages, '.', ReportWriting::Skip, Melt, Stage);
    Completed = outcomes.Melt && outcomes.Melt->Result == RunResult::Completed;
  }
};

// The stage alone after the default run, with the barrel heat transfer
// factor given.
void StageLoop(benchmark::State& bench, double barrelHeatTransferFactor) {
  InitialRun run("None");
  MeltInputs inputs;
  ConvertMeltInputs(run.Melt, '.', inputs);
  inputs.BarrelHeatTransferFactor = barrelHeatTransferFactor;
  for (auto _ : bench) {
    if (RunMeltStage(run.State, inputs, run.Stage).Result != RunResult::Completed) {
      bench.SkipWithError("stage did not complete");
    }
    benchmark::DoNotOptimize(run.Stage.Summary[0].TipPressure);
  }
}

void BM_MeltStage(benchmark::State& bench) {
  StageLoop(bench, 1.0);
}
BENCHMARK(BM_MeltStage);

// The best estimate without exchange: what the barrel exchange costs.
void BM_MeltStageNoExchange(benchmark::State& bench) {
  StageLoop(bench, 0.0);
}
BENCHMARK(BM_MeltStageNoExchange);

// One profile's margin, by MeltBound: Adiabatic, Barrel, BestEstimate.
void BM_Margin(benchmark::State& bench) {
  InitialRun run("None");
  MeltInputs inputs;
  ConvertMeltInputs(run.Melt, '.', inputs);
  const MeltBound b = static_cast<MeltBound>(bench.range(0));
  double m = 0;
  for (auto _ : bench) {
    if (MeltPressureMargin(run.State, inputs, b, m).Result != RunResult::Completed) {
      bench.SkipWithError("margin not computed");
    }
    benchmark::DoNotOptimize(m);
  }
}
BENCHMARK(BM_Margin)->Arg(0)->Arg(1)->Arg(2);


// One trial of the search: a whole run at an output, without a report.
void BM_TrialRun(benchmark::State& bench) {
  InitialRun run("Capillary");
  for (auto _ : bench) {
    if (RunCommandAtOutput(run.State, run.Texts, InitialUnitIndex, 291.5).Result != RunResult::Completed) {
      bench.SkipWithError("run did not complete");
    }
  }
}
BENCHMARK(BM_TrialRun);

// One profile after the other on one thread: CPU time per operating point.
void BM_OperatingPoint(benchmark::State& bench) {
  InitialRun run("Capillary");
  if (!run.Completed) bench.SkipWithError("stage did not complete");
  OperatingPointSettings settings;
  settings.Parallel = false;
  int32_t runs = 0;
  for (auto _ : bench) {
    const MeltOperatingPoints points =
        FindOperatingPoints(run.Texts, InitialUnitIndex, '.', run.Melt, run.Stage, settings);
    // The trials and the final run at the output found, per bound.
    runs = points.Adiabatic.Evaluations + 1;
    benchmark::DoNotOptimize(points.BestEstimate.Output);
  }
  bench.counters["runs/bound"] = runs;
}
BENCHMARK(BM_OperatingPoint)->Unit(benchmark::kMillisecond);

}  // namespace
