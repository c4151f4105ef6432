// The system calculation of a 100-storey building (3 flowing hydrants, a plate sized on every
// floor that needs reducing), and reading and checking a project file.

#include <benchmark/benchmark.h>

#include <string>

#include "calc/system.h"
#include "sheet/project_file.h"

namespace {

// The example office grown to `floors` storeys of 3.6 m, as a project text.
std::string tower(int floors) {
  std::string heights = "5.1";
  for (int i = 2; i < floors; ++i) heights += ", 3.6";
  return R"([project]
name = "某超高层办公楼"
[hydrant]
nozzle = 19
hose_material = "衬胶"
hose_diameter = 65
hose_length = 25
water_column = 13
occupancy = "high"
[building]
floors = )" +
         std::to_string(floors) + "\nfloor_heights = [" + heights + R"(]
first_outlet_elevation = 1.1
[system]
design_flow = 40
riser_min_flow = 15
[supply]
pool_level = -4.5
pool_max_level = -1.0
[pump]
elevation = -4.0
[tank]
lowest_level = 380.0
highest_level = 382.0
min_static = 0.15
[riser]
dn = 150
c = 120
base_elevation = -1.0
[main]
length = 60
dn = 150
c = 120
[design]
target_pressure = 0.35
)";
}

void BM_CalculateSystem(benchmark::State& bench) {
  const auto project = sheet::readProject(tower(static_cast<int>(bench.range(0))), "tower.toml");
  if (!project.ok()) {
    bench.SkipWithError(project.error().message.c_str());
    return;
  }
  int plates = 0;
  for (auto _ : bench) {
    const auto result = calc::calculateSystem(project.value().inputs);
    plates = 0;
    for (const calc::SystemFloor& f : result.value().floors) plates += f.orifice.has_value();
    benchmark::DoNotOptimize(plates);
  }
  bench.counters["plates"] = plates;
}
BENCHMARK(BM_CalculateSystem)->ArgName("floors")->Arg(18)->Arg(100)->Unit(benchmark::kMicrosecond);

void BM_ReadProject(benchmark::State& bench) {
  const std::string text = tower(static_cast<int>(bench.range(0)));
  for (auto _ : bench) {
    benchmark::DoNotOptimize(sheet::readProject(text, "tower.toml"));
  }
}
BENCHMARK(BM_ReadProject)->ArgName("floors")->Arg(18)->Arg(100)->Unit(benchmark::kMicrosecond);

}  // namespace
