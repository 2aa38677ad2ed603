// Record parser throughput on survey lines with positions, and heap
// allocations per line in steady state.
//   <build>/bin/parse_bench --benchmark_min_time=2
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "core/untTSample.h"

namespace {

std::atomic<long> gAllocations{0};

}  // namespace

// Counting replacements of the global allocation functions; they pair malloc
// with free by design, which GCC cannot see.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  gAllocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

using tessaly::TSample;

// A survey line run north and south, with deviation and depth varying.
struct TrackPoint {
  int dev, latMinThousandths, lonMinThousandths;
  double depth, sounder;
};

TrackPoint PointAt(int i) {
  return {(i * 37) % 2000 - 1000, 17000 + (i % 2000), 18000 + (i / 2000) % 500, 25.0 + (i % 40) * 0.1,
          70.0 + (i % 90) * 0.1};
}

std::vector<std::string> KvlLines(int count) {
  std::vector<std::string> lines;
  char text[96];
  for (int i = 0; i < count; ++i) {
    const TrackPoint p = PointAt(i);
    std::snprintf(text, sizeof text, "$KVMGD,%+06d,44%02d.%03d,N,063%02d.%03d,W,%.1f,%.1f", p.dev,
                  p.latMinThousandths / 1000, p.latMinThousandths % 1000, p.lonMinThousandths / 1000,
                  p.lonMinThousandths % 1000, p.depth, p.sounder);
    lines.emplace_back(text);
  }
  return lines;
}

std::vector<std::string> KvsLines(int count) {
  std::vector<std::string> lines;
  char text[96];
  for (int i = 0; i < count; ++i) {
    const TrackPoint p = PointAt(i);
    std::snprintf(text, sizeof text, "%+06d,44 %02d.%03dN 063 %02d.%03dW,%.1f,%.1f", p.dev,
                  p.latMinThousandths / 1000, p.latMinThousandths % 1000, p.lonMinThousandths / 1000,
                  p.lonMinThousandths % 1000, p.depth, p.sounder);
    lines.emplace_back(text);
  }
  return lines;
}

void RunParse(benchmark::State& state, TSample& sample, const std::vector<std::string>& lines) {
  for (const auto& line : lines) sample.Parse(line);  // warm up: fields reach their capacity
  long rejected = 0;
  const long allocationsBefore = gAllocations.load();
  std::size_t next = 0;
  for (auto _ : state) {
    rejected += sample.Parse(lines[next]) != 0;
    if (++next == lines.size()) next = 0;
  }
  const long allocations = gAllocations.load() - allocationsBefore;
  state.SetItemsProcessed(state.iterations());
  state.counters["rejected"] = static_cast<double>(rejected);
  state.counters["allocs_per_line"] = static_cast<double>(allocations) / static_cast<double>(state.iterations());
}

void BM_ParseKvl(benchmark::State& state) {
  TSample sample('.');
  sample.FDevDigits = 5;
  sample.SetHeader("$KVMGD");
  sample.SetKind(tessaly::skKVL);
  RunParse(state, sample, KvlLines(4096));
}
BENCHMARK(BM_ParseKvl);

void BM_ParseKvs(benchmark::State& state) {
  TSample sample('.');
  sample.FDevDigits = 5;
  sample.SetKind(tessaly::skKVS);
  RunParse(state, sample, KvsLines(4096));
}
BENCHMARK(BM_ParseKvs);

}  // namespace

BENCHMARK_MAIN();
