// The network solver alone: a ring main of 1,000 nodes fed from one reservoir, every node
// drawing a little, so the loop splits its flow and meets itself opposite the feed.

#include <benchmark/benchmark.h>

#include "calc/network.h"

namespace {

void BM_SolveRing(benchmark::State& bench) {
  const int nodes = static_cast<int>(bench.range(0));
  calc::Network ring;
  ring.nodes.push_back({0, 80.0, 0});  // the reservoir
  for (int i = 1; i <= nodes; ++i) ring.nodes.push_back({0, std::nullopt, 0.05});
  ring.pipes.push_back({0, 1, 50, 159, 120, 0.2});
  for (int i = 1; i <= nodes; ++i) ring.pipes.push_back({i, i % nodes + 1, 30, 106, 120, 0.2});
  int iterations = 0;
  for (auto _ : bench) {
    const calc::NetworkSolution s = calc::solveNetwork(ring);
    iterations = s.converged ? s.iterations : -1;
    benchmark::DoNotOptimize(s.heads.data());
  }
  bench.counters["iterations"] = iterations;
}
BENCHMARK(BM_SolveRing)->ArgName("nodes")->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace
