// The 33-storey residence calculated with and without its calculation book: what the book's
// pool, tank, stabilising pump, adapters and pump set add to a system calculation.

#include <benchmark/benchmark.h>

#include "calc/system.h"
#include "files/project_file.h"

namespace {

void BM_ResidenceBook(benchmark::State& bench) {
  files::Project p = files::loadProject(HYDRANT_RESIDENCE).value();
  if (bench.range(0) == 0) p.inputs.book = {};
  std::size_t checks = 0;
  for (auto _ : bench) {
    const auto result = calc::calculateSystem(p.inputs);
    checks = result.value().checks.size();
    benchmark::DoNotOptimize(checks);
  }
  bench.counters["checks"] = static_cast<double>(checks);
}
BENCHMARK(BM_ResidenceBook)->ArgName("book")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
