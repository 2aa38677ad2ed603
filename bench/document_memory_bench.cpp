// The memory a loaded document holds for any file, hostile ones included:
// LogDocument::MemoryBytes against its bound (3 bytes per byte of the file,
// 512 bytes per line, 1 MiB), whatever the load's status. Run by
// bench/hostile_memory.sh, which also measures the process's maximum
// resident set; alone:
//
//     TESSALY_BENCH_FILE=some.kvl build/bin/document_memory_bench
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/LogDocument.h"

namespace {

void BM_DocumentMemory(benchmark::State& state) {
  const char* file = std::getenv("TESSALY_BENCH_FILE");
  if (!file || !std::filesystem::is_regular_file(file)) {
    state.SkipWithError("set TESSALY_BENCH_FILE to the file to load");
    return;
  }
  const double fileBytes = static_cast<double>(std::filesystem::file_size(file));
  double held = 0, lines = 0;
  for (auto _ : state) {
    tessaly::LogDocument doc;
    doc.OpenLog(file, tessaly::LoadOptions());
    held = static_cast<double>(doc.MemoryBytes());
    lines = static_cast<double>(doc.Raw().LineCount());
    benchmark::DoNotOptimize(doc);
  }
  constexpr double kMiB = 1024.0 * 1024.0;
  state.counters["file_MiB"] = fileBytes / kMiB;
  state.counters["lines"] = lines;
  state.counters["held_MiB"] = held / kMiB;
  state.counters["bound_MiB"] = (3.0 * fileBytes + 512.0 * lines) / kMiB + 1.0;
}

BENCHMARK(BM_DocumentMemory)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
