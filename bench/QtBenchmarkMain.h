// Entry point of the benchmarks that paint widgets: a QApplication on the
// offscreen platform (unless another is named), then Google Benchmark.
#pragma once

#include <QApplication>
#include <QtGlobal>

#include <benchmark/benchmark.h>

namespace tessaly::bench {

inline int RunQtBenchmarks(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

}  // namespace tessaly::bench
