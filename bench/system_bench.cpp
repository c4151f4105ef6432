// The system calculation of a 100-storey building (3 flowing hydrants, a plate sized on every
// floor that needs reducing), and reading and checking a project file.

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

void BM_CalculateSystem(benchmark::State& bench) {
  const files::Project project = tower(static_cast<int>(bench.range(0)));
  int plates = 0;
  for (auto _ : bench) {
    const auto result = calc::calculateSystem(project.inputs);
    plates = 0;
    for (const calc::SystemFloor& f : result.value().floors) plates += f.orifice.has_value();
    benchmark::DoNotOptimize(plates);
  }
  bench.counters["plates"] = plates;
}
BENCHMARK(BM_CalculateSystem)->ArgName("floors")->Arg(18)->Arg(100)->Unit(benchmark::kMicrosecond);

void BM_ReadProject(benchmark::State& bench) {
  const std::string text = files::writeProject(tower(static_cast<int>(bench.range(0))));
  for (auto _ : bench) {
    benchmark::DoNotOptimize(files::readProject(text, "tower.toml"));
  }
}
BENCHMARK(BM_ReadProject)->ArgName("floors")->Arg(18)->Arg(100)->Unit(benchmark::kMicrosecond);

}  // namespace
