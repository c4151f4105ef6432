// The system calculation, every duty, of the example (18 floors) and of a 100-storey tower, on
// one riser and on four in a ring with a top ring; and reading and checking a project file.
// The counters give the solver's iterations per duty (summed over its solves) and the solves.

#include <benchmark/benchmark.h>

#include <string>

#include "calc/pipe_table.h"
#include "calc/system.h"
#include "files/project_file.h"

namespace {

// The example project grown to `floors` storeys of 3.6 m above a 5.1 m ground floor, on a
// DN150 riser, with its roof tank raised above the top floor.
files::Project tower(int floors) {
  files::Project p = files::loadProject(HYDRANT_EXAMPLE).value();
  p.inputs.floors = floors;
  p.inputs.floorHeights.assign(static_cast<std::size_t>(floors - 1), 3.6);
  p.inputs.floorHeights.front() = 5.1;
  p.inputs.riser = {150, calc::weldedSteelPipe(150)->innerDiameter, 120};
  p.inputs.tank = calc::TankInputs{380, 382, 0.15};
  return p;
}

// The example itself at 18 floors, the tower above that; two or more risers 30 m apart on a
// ring with a top ring.
files::Project ringed(int floors, int risers) {
  files::Project p = floors == 18 ? files::loadProject(HYDRANT_EXAMPLE).value() : tower(floors);
  if (risers > 1) {
    p.inputs.riserCount = risers;
    p.inputs.riserSpacing = 30;
    p.inputs.topRing = true;
  }
  return p;
}

void BM_CalculateSystem(benchmark::State& bench) {
  const files::Project project =
      ringed(static_cast<int>(bench.range(0)), static_cast<int>(bench.range(1)));
  calc::SystemIterations iterations;
  for (auto _ : bench) {
    const auto result = calc::calculateSystem(project.inputs);
    iterations = result.value().iterations;
    benchmark::DoNotOptimize(iterations);
  }
  bench.counters["required"] = iterations.required;
  bench.counters["design"] = iterations.design;
  bench.counters["floors"] = iterations.floors;
  bench.counters["single"] = iterations.single;
  bench.counters["solves"] = iterations.solves;
}
BENCHMARK(BM_CalculateSystem)
    ->ArgNames({"floors", "risers"})
    ->Args({18, 1})
    ->Args({100, 1})
    ->Args({18, 4})
    ->Args({50, 4})
    ->Args({100, 4})
    ->Args({100, 2})
    ->Args({100, 8})
    ->Unit(benchmark::kMicrosecond);

void BM_ReadProject(benchmark::State& bench) {
  const std::string text = files::writeProject(tower(static_cast<int>(bench.range(0))));
  for (auto _ : bench) {
    benchmark::DoNotOptimize(files::readProject(text, "tower.toml"));
  }
}
BENCHMARK(BM_ReadProject)->ArgName("floors")->Arg(18)->Arg(100)->Unit(benchmark::kMicrosecond);

}  // namespace
