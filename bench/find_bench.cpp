// Speed of a limit search on the default inputs: the highest output at which
// the bed melts before the screw end, 64 scan points on two workers plus the
// bisection. Compare the wall time ("Time") with the 20 ms a search may take.
#include <benchmark/benchmark.h>

#include "results/limit_find.h"

namespace {

void BM_FindLimit(benchmark::State& bench) {
  constexpr int OutputRate = 10;
  const LimitSearch search{OutputRate, 100, 1000, LimitCondition::Melted};
  StudySettings settings;
  settings.Workers = static_cast<unsigned>(bench.range(0));
  const std::atomic<bool> stop{false};
  uint64_t runs = 0;
  for (auto _ : bench) {
    const LimitResult result = FindLimit(search, settings, stop);
    if (result.Status != LimitStatus::Found) bench.SkipWithError("no limit found");
    runs = result.Runs;
  }
  bench.counters["runs"] = static_cast<double>(runs);
}
BENCHMARK(BM_FindLimit)->Arg(1)->Arg(2)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
