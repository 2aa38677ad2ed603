// A KV7100 logging window run by a script, to time what the user sees: the
// window logs serial port 1 (TESSALY_SERIAL_DEVICE names it) to OUTPUT
// until SIGTERM or SIGINT, writing "ROW NS" to SHOWN once each record is
// shown in grid, chart and raw view, and "ROW NS" to WRITTEN once its
// session has written it (CLOCK_MONOTONIC). --block-at A --block-for B
// stops the window's thread for B seconds, A seconds after the start.
//
//   live_window_run [--block-at A --block-for B] SHOWN WRITTEN OUTPUT
//
// Used by bench/live_latency.sh and bench/live_blocked_window.sh.
#include <QApplication>
#include <QTimer>

#include <signal.h>

#include <chrono>
#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "acquisition/untFileLogVariants.h"
#include "core/RecordTimesFile.h"
#include "shell/AppContext.h"
#include "shell/UntTMsgdlg1.h"
#include "shell/VaComm.h"

namespace {

using namespace tessaly;

volatile sig_atomic_t stopRequested = 0;

int Run(int argc, char** argv, double blockAt, double blockFor, const std::vector<std::string>& files) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  TVaComm comm;
  SerialSettings settings = comm.Settings();
  settings.Baudrate = 115200;
  comm.SetSettings(settings);
  AppContext::Instance().VaComm = &comm;
  TMsgDlg::SetAutoAnswer([](const TMsgDlg& message) {
    std::cerr << "live_window_run: " << message.Mensagem.toStdString() << "\n";
    return mrYes;
  });
  RecordTimesFile shown(files[0]);
  RecordTimesFile written(files[1]);  // on the session's thread
  auto window = std::make_unique<TfrmFileLogKV7100>();
  window->setAttribute(Qt::WA_DeleteOnClose, false);
  const QString output = QString::fromStdString(files[2]);
  window->ChooseLogFile = [output](QWidget*, const QString&, const QString&, const QString&) { return output; };
  window->SessionWatcher = &written;
  QObject::connect(window.get(), &TfrmFileLog::RecordShown,
                   [&shown](quint64 row) { shown.Note(row); });
  window->resize(1000, 600);
  window->show();
  window->btnStartClick();
  if (window->State() != TfrmFileLog::LogState::Logging) return 1;
  if (blockFor > 0)
    QTimer::singleShot(static_cast<int>(blockAt * 1000), [blockFor] {
      std::this_thread::sleep_for(std::chrono::duration<double>(blockFor));
    });
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [] {
    if (stopRequested) QCoreApplication::exit(0);
  });
  watch.start(50);
  app.exec();
  std::cout << "records " << window->RecordCount() << "\n";
  window->SetLogState(QString::fromLatin1(TfrmFileLog::kStopCaption));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  double blockAt = 0, blockFor = 0;
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--block-at" && i + 1 < argc) blockAt = std::stod(argv[++i]);
    else if (arg == "--block-for" && i + 1 < argc) blockFor = std::stod(argv[++i]);
    else files.push_back(arg);
  }
  if (files.size() != 3) {
    std::cerr << "usage: live_window_run [--block-at A --block-for B] SHOWN WRITTEN OUTPUT\n";
    return 2;
  }
  struct sigaction action {};
  action.sa_handler = [](int) { stopRequested = 1; };
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  return Run(argc, argv, blockAt, blockFor, files);
}
