// One whole press of the calculate button on the window's initial entries, and the
// fixed-pattern formatter it leans on.

#include <benchmark/benchmark.h>

#include "calc/design_check.h"
#include "calc/hydraulics.h"

namespace {

// Argument 0: water column given (the window's mode); 1: flow given, with its search.
void BM_RunCalculation(benchmark::State& bench) {
  const bool flowGiven = bench.range(0) == 1;
  calc::CalcState state;
  state.hoseSelection = {0.01501, "0.01501", "麻质", "50"};
  const calc::RunInputs in{flowGiven, !flowGiven, "20", "19", flowGiven ? "5" : "2.5", "10", "10"};
  for (auto _ : bench) {
    benchmark::DoNotOptimize(calc::runCalculation(in, state));
  }
}
BENCHMARK(BM_RunCalculation)->ArgName("flowGiven")->Arg(0)->Arg(1);

// The design check at a given outlet pressure, numbers only, as a batch row runs it: the
// water column the jet reaches is solved for.
void BM_CheckDesignPressureGiven(benchmark::State& bench) {
  calc::DesignInputs in;
  in.pressureMPa = 0.35;
  in.withTexts = false;
  for (auto _ : bench) {
    benchmark::DoNotOptimize(in.pressureMPa);
    benchmark::DoNotOptimize(calc::checkDesign(in));
  }
}
BENCHMARK(BM_CheckDesignPressureGiven);

void BM_FormatFixed(benchmark::State& bench) {
  double value = 21.959349;
  for (auto _ : bench) {
    benchmark::DoNotOptimize(value);
    benchmark::DoNotOptimize(calc::formatFixed(value, 2));
  }
}
BENCHMARK(BM_FormatFixed);

void BM_FormatFixedSingle(benchmark::State& bench) {
  float value = 1.0218713f;
  for (auto _ : bench) {
    benchmark::DoNotOptimize(value);
    benchmark::DoNotOptimize(calc::formatFixedSingle(value, 6));
  }
}
BENCHMARK(BM_FormatFixedSingle);

}  // namespace
