// Cost of one record in a live logging session against the records it
// already holds, and the memory a record costs the window.
//
//   build/bin/live_log_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
//
// BM_LiveWindowRecord/1000 and /500000: a KV7100 logging window with a
// session running, already showing that many records, takes one more
// record from its session and shows it (the grid row, chart value and raw
// line, the views following the newest record). Target: the median at
// 500,000 at most 1.5 times the one at 1,000. The counter bytes_per_record
// is what the window holds per record (target: at most 300).
//
// BM_LiveSessionRecord/1000 and /500000: the session itself, on its own
// thread in the program, reads one record from its device, frames,
// validates and writes it to its log (the same target).
#include <benchmark/benchmark.h>

#include "bench/QtBenchmarkMain.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "acquisition/untFileLogVariants.h"
#include "core/LiveSession.h"
#include "core/RecordPipeline.h"
#include "shell/AppContext.h"
#include "shell/UntTMsgdlg1.h"

namespace {

using namespace tessaly;


// A KV7100 record of the generator's form, its deviation and position
// moving a little from one record to the next.
std::string Record(std::size_t n) {
  char text[80];
  std::snprintf(text, sizeof text, "$KVMGD,%+06d,4417.%03d,N,06318.%03d,W,54.5,76.6\r\n",
                static_cast<int>(n % 200) - 100, static_cast<int>(n % 1000), static_cast<int>((n / 7) % 1000));
  return text;
}

// The record as a session reports it: parsed, its cells made by the row
// builder.
LiveRecord Reported(std::size_t n) {
  static TSample sample('.');
  if (sample.FKind == skNone) {
    const LogVariant& variant = FindLogVariant(LogVariantId::KV7100);
    sample.FDevDigits = variant.devDigits;
    sample.SetHeader(variant.header);
    sample.SetKind(variant.kind);
  }
  LiveRecord record;
  record.row = n + 1;
  record.text = Record(n).substr(0, Record(n).size() - 2);
  sample.Parse(record.text);
  RecordScratch scratch;
  const RecordCellTexts cells = RecordCells(sample, 0, scratch);
  std::copy(cells.begin(), cells.end(), record.cells.begin());
  record.numbers = sample.FNumbers;
  return record;
}

// A device that sends what it is given, all at once.
class BenchDevice : public LiveTransport {
 public:
  std::string Open() override { return {}; }
  void Close() override {}
  bool IsOpen() const override { return true; }
  void Read(std::string& bytes) override { bytes.swap(waiting); }
  DeviceIdentity Identity() const override { return {}; }
  std::string waiting;
};

class Folder {
 public:
  Folder() : path_(std::filesystem::temp_directory_path() / ("live_log_bench_" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(path_);
  }
  ~Folder() { std::filesystem::remove_all(path_); }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// A logging window with a session running on a device that sends nothing;
// its records come as the session would report them.
class WindowSession {
 public:
  WindowSession() {
    TMsgDlg::SetAutoAnswer([](const TMsgDlg&) { return mrYes; });
    window_ = std::make_unique<TfrmFileLogKV7100>();
    window_->setAttribute(Qt::WA_DeleteOnClose, false);
    const QString log = QString::fromStdString(folder_.File("bench.kvl"));
    window_->ChooseLogFile = [log](QWidget*, const QString&, const QString&, const QString&) { return log; };
    window_->MakeTransport = [] { return std::make_unique<BenchDevice>(); };
    window_->resize(1000, 600);
    window_->show();
    window_->btnStartClick();
  }
  ~WindowSession() {
    window_->btnStopClick();
    window_.reset();
  }
  void Add(std::size_t n) {
    window_->RecordAccepted(Reported(n));
    window_->ShowSessionReports();
  }
  void FillTo(std::size_t records) {
    for (std::size_t n = window_->RecordCount(); n < records; ++n) window_->RecordAccepted(Reported(n));
    window_->ShowSessionReports();
  }
  const TfrmFileLog& Window() const { return *window_; }

 private:
  Folder folder_;
  std::unique_ptr<TfrmFileLogKV7100> window_;
};

void BM_LiveWindowRecord(benchmark::State& state) {
  WindowSession session;
  const auto shown = static_cast<std::size_t>(state.range(0));
  session.FillTo(shown);
  std::size_t n = shown;
  for (auto _ : state) session.Add(n++);
  const auto& records = session.Window().Records();
  state.counters["bytes_per_record"] =
      static_cast<double>(records.MemoryBytes()) / static_cast<double>(records.RecordCount());
}
BENCHMARK(BM_LiveWindowRecord)->Arg(1000)->Arg(500000)->Iterations(2000)->Unit(benchmark::kMicrosecond);

void BM_LiveSessionRecord(benchmark::State& state) {
  Folder folder;
  BenchDevice device;
  SystemClock clock;
  LiveObserver nobody;
  LiveSession session(FindLogVariant(LogVariantId::KV7100), device, clock, nobody);
  const std::string base = folder.File("bench.kvl");
  session.Start(base, FindEarlierLogFiles(base));
  const auto held = static_cast<std::size_t>(state.range(0));
  std::size_t n = 0;
  for (; n < held; ++n) {
    device.waiting = Record(n);
    session.Poll();
  }
  for (auto _ : state) {
    device.waiting = Record(n++);
    session.Poll();
  }
  session.Stop();
}
BENCHMARK(BM_LiveSessionRecord)->Arg(1000)->Arg(500000)->Iterations(2000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return tessaly::bench::RunQtBenchmarks(argc, argv); }
