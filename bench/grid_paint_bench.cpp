// Paint time of the record grid against its row count, the time to scroll to
// a row and repaint, and the memory a million-row table costs.
//
//   QT_QPA_PLATFORM=offscreen build/bin/grid_paint_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
//
// BM_GridPaint/100 and /1000000 paint the same window (rows 50 on) of a grid
// of 100 or a million rows x 29 columns; their medians should agree within
// 20 %. BM_GridScrollToRow jumps to random rows of the million-row grid.
#include <benchmark/benchmark.h>

#include "bench/QtBenchmarkMain.h"

#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/CellTable.h"
#include "widgets/PainelGridOk.h"

namespace {

using tessaly::CellTable;
using tessaly::TPainelGridOk;

constexpr int kCols = 29;

// One record laid out as its 29 cells, with a row number in the first cell.
struct PackedRow {
  std::string text;
  std::vector<std::uint32_t> ends;
};

PackedRow MakeRow(int row) {
  static const std::array<const char*, kCols - 1> kFields{
      "10:23:20", "712", "161", "23", "30.4200", "S", "43", "12.4200", "W", "12.5", "52.0",
      "-23.507000", "-43.207000", "23K", "684190.000", "7454390.000", "23", "30.4200", "S", "43",
      "12.4200", "W", "-23.507000", "-43.207000", "23K", "684200.000", "7454400.000", ""};
  PackedRow packed;
  packed.text = std::to_string(row);
  packed.ends.push_back(static_cast<std::uint32_t>(packed.text.size()));
  for (const char* field : kFields) {
    packed.text += field;
    packed.ends.push_back(static_cast<std::uint32_t>(packed.text.size()));
  }
  return packed;
}

std::shared_ptr<CellTable> MakeTable(int rows) {
  auto table = std::make_shared<CellTable>(static_cast<std::size_t>(rows), kCols);
  std::size_t bytes = 0;
  for (int r = 0; r < rows; ++r) bytes += MakeRow(r).text.size();
  table->Reserve(static_cast<std::size_t>(rows), bytes);
  for (int r = 0; r < rows; ++r) {
    const PackedRow packed = MakeRow(r);
    table->SetRowPacked(static_cast<std::size_t>(r), packed.text, packed.ends);
    table->SetRowColor(static_cast<std::size_t>(r), r % 2 ? 0xFFFFFF : 0xE1FFFF);
    table->SetRowFontColor(static_cast<std::size_t>(r), 0xFF0000);
  }
  return table;
}

// A log-window sized grid (1200 x 430) over the table, scrolled to `first`.
std::unique_ptr<TPainelGridOk> MakeGrid(std::shared_ptr<CellTable> table) {
  auto grid = std::make_unique<TPainelGridOk>();
  grid->resize(1200, 430);
  tessaly::TInformacaoGrid& info = grid->InformacaoGrid();
  info.ShowCells(std::move(table));
  info.SetLinhaFixa(true);
  info.SetLinhaSeleciona(true);
  info.SetScrollBar(tessaly::TScrollStyle::ssBoth);
  for (int c = 0; c < kCols; ++c) info.SetColWidth(c, 60);
  return grid;
}

void BM_GridPaint(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  auto grid = MakeGrid(MakeTable(rows));
  grid->InformacaoGrid().VerticalBar()->setValue(50);
  QImage image(grid->size(), QImage::Format_RGB32);
  for (auto _ : state) {
    grid->render(&image);
    benchmark::ClobberMemory();
  }
  const CellTable& cells = grid->InformacaoGrid().Cells();
  const double cellCount = static_cast<double>(cells.Rows() * cells.Cols());
  state.counters["table_bytes"] = static_cast<double>(cells.MemoryBytes());
  state.counters["text_bytes"] = static_cast<double>(cells.TextBytes());
  state.counters["bytes_per_cell_beyond_text"] =
      static_cast<double>(cells.MemoryBytes() - cells.TextBytes()) / cellCount;
  state.counters["grid_own_bytes"] = static_cast<double>(grid->InformacaoGrid().OwnMemoryBytes());
}
BENCHMARK(BM_GridPaint)->Arg(100)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

// Jump to a far row (as SelectRow does) and paint.
void BM_GridScrollToRow(benchmark::State& state) {
  constexpr int kRows = 1000000;
  auto grid = MakeGrid(MakeTable(kRows));
  QScrollBar* bar = grid->InformacaoGrid().VerticalBar();
  QImage image(grid->size(), QImage::Format_RGB32);
  std::uint32_t seed = 12345;
  for (auto _ : state) {
    seed = seed * 1664525u + 1013904223u;
    bar->setValue(static_cast<int>(seed % kRows));
    grid->render(&image);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_GridScrollToRow)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) { return tessaly::bench::RunQtBenchmarks(argc, argv); }
