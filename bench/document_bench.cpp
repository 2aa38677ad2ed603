// Document model on a large log: the load of the window's document against
// the streaming export of the same file, the export of the loaded document
// (the window's), and the memory the document holds.
//
// The input is TESSALY_BENCH_FILE, or bench/data/kvl_1m.kvl below the
// current folder (made by bench/make_data.sh).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/LogDocument.h"
#include "core/LogKind.h"
#include "core/RecordExport.h"

namespace {

std::string InputFile() {
  if (const char* file = std::getenv("TESSALY_BENCH_FILE")) return file;
  return "bench/data/kvl_1m.kvl";
}

bool HaveInput(benchmark::State& state) {
  if (std::filesystem::exists(InputFile())) return true;
  state.SkipWithError(("missing " + InputFile() + ": run bench/make_data.sh").c_str());
  return false;
}

void BM_DocumentLoad(benchmark::State& state) {
  if (!HaveInput(state)) return;
  tessaly::LoadOptions options;
  options.threads = static_cast<unsigned>(state.range(0));
  std::size_t bytes = 0, lines = 0, records = 0;
  for (auto _ : state) {
    tessaly::LogDocument doc;
    if (doc.OpenLog(InputFile(), options) != tessaly::LoadStatus::Loaded) {
      state.SkipWithError("the file did not load");
      return;
    }
    bytes = doc.MemoryBytes();
    lines = doc.Raw().LineCount();
    records = doc.ValidCount();
    benchmark::DoNotOptimize(doc);
  }
  state.counters["records"] = static_cast<double>(records);
  state.counters["bytes_per_line"] = static_cast<double>(bytes) / static_cast<double>(lines);
  state.counters["MiB"] = static_cast<double>(bytes) / (1024.0 * 1024.0);
}

void BM_StreamingExport(benchmark::State& state) {
  if (!HaveInput(state)) return;
  const std::string out = (std::filesystem::temp_directory_path() / "tessaly-bench-export.vdg").string();
  tessaly::TypeFileState file;
  tessaly::AssignFileName(file, InputFile(), false);
  if (!file.kind) {
    state.SkipWithError("the input is no survey log");
    return;
  }
  for (auto _ : state) {
    tessaly::TSample sample;
    tessaly::SetUpSample(sample, *file.kind);
    tessaly::StreamExportOptions options;
    options.threads = static_cast<unsigned>(state.range(0));
    if (!tessaly::ExportLogStreaming(sample, file, tessaly::CommentsStore(), out, *tessaly::FindExportFormat("vdg"),
                                     options)
             .ok) {
      state.SkipWithError("the export failed");
      return;
    }
  }
  std::remove(out.c_str());
}

// The window's export: the records of a loaded document written as VDG.
void BM_DocumentExport(benchmark::State& state) {
  if (!HaveInput(state)) return;
  const std::string out = (std::filesystem::temp_directory_path() / "tessaly-bench-document.vdg").string();
  tessaly::LogDocument doc;
  if (doc.OpenLog(InputFile(), tessaly::LoadOptions()) != tessaly::LoadStatus::Loaded) {
    state.SkipWithError("the file did not load");
    return;
  }
  for (auto _ : state) {
    if (!tessaly::ExportDocument(doc, *tessaly::FindExportFormat("vdg"), out, tessaly::DocumentExportOptions()).ok) {
      state.SkipWithError("the export failed");
      return;
    }
  }
  state.counters["records"] = static_cast<double>(doc.ValidCount());
  std::remove(out.c_str());
}

BENCHMARK(BM_DocumentLoad)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_StreamingExport)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DocumentExport)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
