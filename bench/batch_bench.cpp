// Batch runs over a building of 1,000,000 floors, as `hydrant-calc-cli --batch` does them:
// the CSV read from a file as it arrives, the run and the design check of every row, each
// row written out. Counters: rows per second, and the peak resident memory of the run,
// which must not grow with the file.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "cli/batch.h"

#ifdef __linux__
#include <fstream>
#endif

namespace {

constexpr int kRows = 1'000'000;

// One row per floor: the outlet pressure falls 0.035 MPa a floor from 0.90 MPa at the
// bottom, so the rows cover every verdict of 7.4.12; every fifth row checks from the water
// column instead (unless `allPressure`), and every seventh names a width too wide for the
// radius.
std::FILE* buildingCsv(int rows, bool allPressure = false) {
  std::FILE* file = std::tmpfile();
  if (file == nullptr) return nullptr;
  std::fputs(
      "\xEF\xBB\xBFid,hoseLength,material,hoseDiameter,nozzle,waterColumn,pressure,width\r\n",
      file);
  std::string row;
  for (int i = 0; i < rows; ++i) {
    // Appended piece by piece: a chain of + trips a false -Wrestrict in GCC 12.
    row = '"';
    row += std::to_string(i + 1);
    row += "F\",25,衬胶,65,19,13,";
    if (allPressure || i % 5 != 4) {
      const int hundredths = 90 - 35 * (i % 25) / 10;
      row += hundredths < 10 ? "0.0" : "0.";
      row += std::to_string(hundredths);
    }
    row += i % 7 == 6 ? ",40\r\n" : ",10\r\n";
    std::fwrite(row.data(), 1, row.size(), file);
  }
  std::fflush(file);
  return file;
}

// The peak resident memory from here on, in kB: Linux resets the high-water mark on
// request, so the figure is the run's, not that of whatever ran before it.
void resetPeakMemory() {
#ifdef __linux__
  std::ofstream("/proc/self/clear_refs") << "5";
#endif
}

double peakMemoryKb() {
#ifdef __linux__
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.starts_with("VmHWM:")) return std::stod(line.substr(6));
  }
#endif
  return 0;
}

// Argument 0: CSV out; 1: JSON lines out.
void batch(benchmark::State& bench, int rows, bool allPressure) {
  std::FILE* csv = buildingCsv(rows, allPressure);
  if (csv == nullptr) {
    bench.SkipWithError("no temporary file");
    return;
  }
  cli::Options options;
  options.design.occupancy = calc::Occupancy::High;
  options.format = bench.range(0) == 1 ? cli::Format::Json : cli::Format::Csv;
  std::size_t written = 0;
  double peak = 0;
  for (auto _ : bench) {
    bench.PauseTiming();
    std::rewind(csv);
    resetPeakMemory();
    bench.ResumeTiming();
    cli::CsvReader reader(csv);
    std::string err;
    const int status = cli::runBatch(
        reader, options,
        [&](std::string_view row) {
          written += row.size();
          return true;
        },
        err);
    if (status != cli::kExitOk) bench.SkipWithError("a row failed");
    peak = peakMemoryKb();
  }
  std::fclose(csv);
  bench.counters["rows/s"] =
      benchmark::Counter(double(bench.iterations()) * rows, benchmark::Counter::kIsRate);
  bench.counters["peakRSS_kB"] = peak;
  bench.SetBytesProcessed(static_cast<std::int64_t>(written));
}

void BM_Batch(benchmark::State& bench) { batch(bench, kRows, false); }
// 100,000 rows that all give the outlet pressure: each solves for the water column it
// reaches, the step that decides this run's speed.
void BM_BatchPressureGiven(benchmark::State& bench) { batch(bench, 100'000, true); }
// One pass of a million rows is the measurement; repeating it adds minutes, not accuracy.
BENCHMARK(BM_Batch)->ArgName("json")->Arg(0)->Arg(1)->Iterations(1)->Repetitions(1)->Unit(
    benchmark::kSecond);
BENCHMARK(BM_BatchPressureGiven)
    ->ArgName("json")
    ->Arg(0)
    ->Arg(1)
    ->Repetitions(5)
    ->Unit(benchmark::kMillisecond);

}  // namespace
