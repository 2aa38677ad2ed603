// Opening a survey log in the program, headless: creates the main window,
// opens the file with OpenDocument (which returns once the load has finished
// and the grid, chart and raw text are attached), lets the window paint, and
// prints the time from the call to the painted window and the peak resident
// memory of the whole program.
//
//   open_document_bench FILE
//
// Prints "seconds=<s> cpu_seconds=<c> vmhwm_kib=<k> file_bytes=<b>
// records=<n>". Run it with TESSALY_HOME naming a scratch folder holding Lib/ (bench/open_document.sh
// does), so that the recent-files list of the build is left alone.
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/untMain.h"
#include "shell/UntTMsgdlg1.h"
#include "shell/untFile.h"

namespace {

long PeakResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return -1;
}

// User and system CPU seconds of the process so far: on a busy machine they
// tell the work apart from the waiting.
double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  tessaly::TessalyApplication application(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: open_document_bench FILE\n");
    return 2;
  }
  const QString path = QString::fromLocal8Bit(argv[1]);
  // A message box would wait for a person: report it and go on.
  tessaly::TMsgDlg::SetAutoAnswer([](const tessaly::TMsgDlg& message) {
    std::fprintf(stderr, "message: %s\n", message.Mensagem.toLocal8Bit().constData());
    return tessaly::mrOk;
  });

  tessaly::TfrmMain frmMain;
  frmMain.resize(1400, 900);
  frmMain.show();
  QApplication::processEvents();

  const double cpuStart = CpuSeconds();
  const auto start = std::chrono::steady_clock::now();
  frmMain.OpenDocument(path);
  QMdiSubWindow* window = frmMain.mdiArea->activeSubWindow();
  if (window) window->repaint();
  QApplication::processEvents();
  const auto end = std::chrono::steady_clock::now();
  const double cpu = CpuSeconds() - cpuStart;

  auto* document = window ? qobject_cast<tessaly::TfrmFile*>(window->widget()) : nullptr;
  if (!document || !document->Document()) {
    std::fprintf(stderr, "the document did not open\n");
    return 1;
  }
  std::printf("seconds=%.3f cpu_seconds=%.3f vmhwm_kib=%ld file_bytes=%llu records=%llu\n",
              std::chrono::duration<double>(end - start).count(), cpu, PeakResidentKiB(),
              static_cast<unsigned long long>(std::filesystem::file_size(argv[1])),
              static_cast<unsigned long long>(document->Document()->ValidCount()));
  return 0;
}
