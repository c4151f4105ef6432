// Batch runs over a building: reading the CSV, the run and the design check of every row,
// and writing the result rows, as `hydrant-calc-cli --batch` does them.

#include <benchmark/benchmark.h>

#include <string>

#include "cli/batch.h"

namespace {

// One row per floor: the outlet pressure falls 0.035 MPa a floor from 0.90 MPa at the
// bottom, so the rows cover every verdict of 7.4.12; every fifth row checks from the water
// column instead, and every seventh names a width too wide for the radius.
std::string buildingCsv(int rows) {
  std::string csv =
      "\xEF\xBB\xBFid,hoseLength,material,hoseDiameter,nozzle,waterColumn,pressure,width\r\n";
  for (int i = 0; i < rows; ++i) {
    // Appended piece by piece: a chain of + trips a false -Wrestrict in GCC 12.
    csv += '"';
    csv += std::to_string(i + 1);
    csv += "F\",25,衬胶,65,19,13,";
    if (i % 5 != 4) {
      const int hundredths = 90 - 35 * (i % 25) / 10;
      csv += hundredths < 10 ? "0.0" : "0.";
      csv += std::to_string(hundredths);
    }
    csv += i % 7 == 6 ? ",40\r\n" : ",10\r\n";
  }
  return csv;
}

// Argument 0: CSV out; 1: JSON lines out.
void BM_Batch(benchmark::State& bench) {
  constexpr int kRows = 10'000;
  const std::string csv = buildingCsv(kRows);
  cli::Options options;
  options.design.occupancy = calc::Occupancy::High;
  options.format = bench.range(0) == 1 ? cli::Format::Json : cli::Format::Csv;
  for (auto _ : bench) {
    const cli::Printed printed = cli::runBatch(csv, options);
    benchmark::DoNotOptimize(printed.out.data());
    if (printed.status != cli::kExitOk) bench.SkipWithError("a row failed");
  }
  bench.SetItemsProcessed(bench.iterations() * kRows);
  bench.SetBytesProcessed(bench.iterations() * static_cast<long>(csv.size()));
}
BENCHMARK(BM_Batch)->ArgName("json")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
