// tessaly-live-log: a live logging window run without a user, for the soak,
// kill and latency runs, and the check of what such a run logged.
//
//   tessaly-live-log log [--variant V] [--baud N] [--seconds S]
//                        [--records-per-part N] [--shown FILE] OUTPUT
//       Opens the logging window of variant V (kvl, zpx, zpt, rtb, rtc, oth;
//       default kvl) on serial port 1 (TESSALY_SERIAL_DEVICE names it),
//       with the view settings of the program's Lib/View.ega (TESSALY_HOME),
//       starts a session logging to OUTPUT, runs S seconds (default: until
//       SIGINT or SIGTERM), stops and prints the parts and counts. --shown
//       writes "ROW NS" per record once it is shown: the CLOCK_MONOTONIC time.
//
//   tessaly-live-log check [--prefix N] [--faults FAULTS] SENT PART...
//       Compares the parts' lines with the records of a tessaly-sim --sent
//       report that a correct session logs, less those on the lines that
//       the generator's --faults-out list FAULTS names (LiveCheck.h):
//       exactly, or with --prefix N missing at most N at the end. Exit
//       status 0 when they agree.
#include <QApplication>
#include <QTimer>

#include <signal.h>
#include <time.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "acquisition/untFileLogOther.h"
#include "acquisition/untFileLogVariants.h"
#include "core/ProgramVersion.h"
#include "core/SettingsFile.h"
#include "core/SettingsStore.h"
#include "shell/AppContext.h"
#include "shell/UntTMsgdlg1.h"
#include "shell/VaComm.h"
#include "tools/live/LiveCheck.h"

namespace tessaly::live {
namespace {

constexpr const char* kUsage =
    "usage: tessaly-live-log log [--variant V] [--baud N] [--seconds S] [--records-per-part N] [--shown FILE] OUTPUT\n"
    "       tessaly-live-log check [--prefix N] [--faults FAULTS] SENT PART...\n"
    "       tessaly-live-log --version\n"
    "V: kvl, zpx, zpt, rtb, rtc or oth (default kvl)\n";

struct Options {
  std::string command;
  std::string variant = "kvl";
  int baud = 115200;
  double seconds = 0;
  std::size_t recordsPerPart = kRecordsPerPart;
  std::string shown;
  std::vector<std::string> operands;
};

bool Parse(int argc, char** argv, Options& options) {
  if (argc < 2) return false;
  options.command = argv[1];
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    const auto value = [&]() -> std::string { return i + 1 < argc ? argv[++i] : ""; };
    if (arg == "--variant") options.variant = value();
    else if (arg == "--baud") options.baud = std::stoi(value());
    else if (arg == "--seconds") options.seconds = std::stod(value());
    else if (arg == "--records-per-part") options.recordsPerPart = std::stoul(value());
    else if (arg == "--shown") options.shown = value();
    else if (arg.rfind("--", 0) == 0) return false;
    else options.operands.push_back(arg);
  }
  return options.command == "log" && options.operands.size() == 1;
}

const std::map<std::string, LogVariantId>& VariantNames() {
  static const std::map<std::string, LogVariantId> names{
      {"kvl", LogVariantId::KV7100},   {"zpx", LogVariantId::ZpxKV},     {"zpt", LogVariantId::ZpxBT},
      {"rtb", LogVariantId::Rt4Basic}, {"rtc", LogVariantId::Rt4KvComp}, {"oth", LogVariantId::Other}};
  return names;
}

TfrmFileLog* NewWindow(LogVariantId id) {
  switch (id) {
    case LogVariantId::KV7100: return new TfrmFileLogKV7100;
    case LogVariantId::ZpxKV: return new TfrmFileLogZPXKV;
    case LogVariantId::ZpxBT: return new TfrmFileLogZPXBT;
    case LogVariantId::Rt4Basic: return new TfrmFileLogRT4Basic;
    case LogVariantId::Rt4KvComp: return new TfrmFileLogRT4KvComp;
    case LogVariantId::Other: break;
  }
  return new TfrmFileLogOther;
}

long long MonotonicNs() {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

volatile sig_atomic_t stopRequested = 0;

int RunLog(int argc, char** argv, const Options& options, LogVariantId id) {
  QApplication app(argc, argv);
  TVaComm comm;
  SerialSettings settings = comm.Settings();
  settings.Baudrate = options.baud;
  comm.SetSettings(settings);
  AppContext::Instance().VaComm = &comm;
  // The chart and row colours as the program's own view settings have them.
  try {
    ReadViewSettings(LibPath(AppContext::Instance().CurrentDir, "View.ega"), AppContext::Instance().View);
  } catch (const SettingsError& error) {
    std::cerr << "tessaly-live-log: " << error.what() << "\n";
  }
  // Every question is answered Yes; every message goes to standard error.
  TMsgDlg::SetAutoAnswer([](const TMsgDlg& message) {
    std::cerr << "tessaly-live-log: " << message.Mensagem.toStdString() << "\n";
    return mrYes;
  });
  std::unique_ptr<TfrmFileLog> window(NewWindow(id));
  window->setAttribute(Qt::WA_DeleteOnClose, false);
  window->SetRecordsPerPart(options.recordsPerPart);
  const QString output = QString::fromStdString(options.operands[0]);
  window->ChooseLogFile = [output](QWidget*, const QString&, const QString&, const QString&) { return output; };
  std::ofstream shown;
  if (!options.shown.empty()) {
    shown.open(options.shown, std::ios::trunc);
    QObject::connect(window.get(), &TfrmFileLog::RecordShown,
                     [&shown](quint64 row) { shown << row << ' ' << MonotonicNs() << '\n'; });
  }
  window->resize(1000, 600);
  window->show();
  window->btnStartClick();
  if (window->State() != TfrmFileLog::LogState::Logging) return 1;

  QTimer watch;
  watch.setInterval(50);
  const long long end = options.seconds > 0 ? MonotonicNs() + static_cast<long long>(options.seconds * 1e9) : 0;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (stopRequested || (end && MonotonicNs() >= end)) QCoreApplication::exit(0);
  });
  watch.start();
  app.exec();
  const std::uint64_t records = window->RecordCount();
  const int errors = window->NumErros();
  window->btnStopClick();
  for (const std::string& part : window->Parts()) std::cout << "part " << part << "\n";
  std::cout << "records " << records << "\nerrors-in-last-part " << errors << "\n";
  return 0;
}

}  // namespace
}  // namespace tessaly::live

int main(int argc, char** argv) {
  if (tessaly::PrintVersionIfAsked(argc, argv, "tessaly-live-log")) return 0;
  using namespace tessaly::live;
  if (argc >= 2 && std::string(argv[1]) == "check") return RunCheckCommand({argv + 2, argv + argc});
  Options options;
  if (!Parse(argc, argv, options) || !VariantNames().count(options.variant)) {
    std::cerr << kUsage;
    return 2;
  }
  const tessaly::LogVariantId id = VariantNames().at(options.variant);
  struct sigaction action {};
  action.sa_handler = [](int) { stopRequested = 1; };
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  return RunLog(argc, argv, options, id);
}
