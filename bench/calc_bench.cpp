// One whole press of the calculate button on the window's initial entries, and the
// fixed-pattern formatter it leans on.

#include <benchmark/benchmark.h>

#include "calc/hydraulics.h"

namespace {

void BM_RunCalculation(benchmark::State& bench) {
  calc::CalcState state;
  state.hoseSelection = {"0.01501", "麻质", "50"};
  calc::RunInputs in{false, true, "20", "19", "2.5", "10", "10"};
  for (auto _ : bench) {
    benchmark::DoNotOptimize(calc::runCalculation(in, state));
  }
}
BENCHMARK(BM_RunCalculation);

void BM_RunCalculationFlowGiven(benchmark::State& bench) {
  calc::CalcState state;
  state.hoseSelection = {"0.01501", "麻质", "50"};
  calc::RunInputs in{true, false, "20", "19", "5", "10", "10"};
  for (auto _ : bench) {
    benchmark::DoNotOptimize(calc::runCalculation(in, state));
  }
}
BENCHMARK(BM_RunCalculationFlowGiven);

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
