// Cost of one record in a live logging window against the records it
// already shows, views included (grid, chart and raw view painted), and the
// memory a record costs the window.
//
//   build/bin/live_log_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
//
// BM_LiveRecord/1000 and /500000: a KV7100 logging window already showing
// that many records processes one more (validation, the write to its log,
// the grid row, chart value and raw line, the views following the newest
// record). Target: the median at 500,000 at most 1.5 times the one at 1,000.
// The counter bytes_per_record is what the window holds per record
// (target: at most 300).
#include <benchmark/benchmark.h>

#include "bench/QtBenchmarkMain.h"

#include <QCoreApplication>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "acquisition/untFileLogVariants.h"
#include "shell/AppContext.h"
#include "shell/UntTMsgdlg1.h"
#include "shell/VaComm.h"

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

// A logging window with a session running: its port is a pseudo-terminal
// nobody writes to, its records come through ReceiveBytes.
class Session {
 public:
  Session() : folder_(std::filesystem::temp_directory_path() / ("live_log_bench_" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(folder_);
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    ::grantpt(master_);
    ::unlockpt(master_);
    std::filesystem::create_symlink(::ptsname(master_), folder_ / "tty1");
    ::setenv("TESSALY_SERIAL_DEVICE", (folder_ / "tty%d").c_str(), 1);
    AppContext::Instance().VaComm = &comm_;
    TMsgDlg::SetAutoAnswer([](const TMsgDlg&) { return mrYes; });
    window_ = std::make_unique<TfrmFileLogKV7100>();
    window_->setAttribute(Qt::WA_DeleteOnClose, false);
    const QString log = QString::fromStdString((folder_ / "bench.kvl").string());
    window_->ChooseLogFile = [log](QWidget*, const QString&, const QString&, const QString&) { return log; };
    window_->resize(1000, 600);
    window_->show();
    window_->btnStartClick();
  }
  ~Session() {
    window_->btnStopClick();
    window_.reset();
    ::close(master_);
    std::filesystem::remove_all(folder_);
  }
  void Add(std::size_t n) {
    window_->ReceiveBytes(Record(n));
    QCoreApplication::processEvents();
  }
  void FillTo(std::size_t records) {
    while (window_->RecordCount() < records) window_->ReceiveBytes(Record(window_->RecordCount()));
    QCoreApplication::processEvents();
  }
  const TfrmFileLog& Window() const { return *window_; }

 private:
  std::filesystem::path folder_;
  int master_ = -1;
  TVaComm comm_;
  std::unique_ptr<TfrmFileLogKV7100> window_;
};

void BM_LiveRecord(benchmark::State& state) {
  Session session;
  const auto shown = static_cast<std::size_t>(state.range(0));
  session.FillTo(shown);
  std::size_t n = shown;
  for (auto _ : state) session.Add(n++);
  const auto& records = session.Window().Records();
  state.counters["bytes_per_record"] =
      static_cast<double>(records.MemoryBytes()) / static_cast<double>(records.RecordCount());
}
BENCHMARK(BM_LiveRecord)->Arg(1000)->Arg(500000)->Iterations(2000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return tessaly::bench::RunQtBenchmarks(argc, argv); }
