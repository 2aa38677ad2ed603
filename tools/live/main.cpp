// tessaly-live-log: the headless live logger, for unattended logging (a
// vessel's PC, a session over ssh, a service) and for the soak, kill and
// latency runs; and the check of what such a run logged.
//
//   tessaly-live-log log [--variant V] [--baud N] [--seconds S]
//                        [--records-per-part N] [--shown FILE] [--replace]
//                        [--gps-device PATH] [--gps-baud N] OUTPUT
//       Logs the instrument of variant V (kvl, zpx, zpt, rtb, rtc, oth;
//       default kvl) on the serial port of the program's settings
//       (Lib/SerialPort.ega of TESSALY_HOME or the program's folder;
//       TESSALY_SERIAL_DEVICE names another device), --baud overriding their
//       rate, to OUTPUT and its parts, for S seconds or until SIGINT or
//       SIGTERM; then stops (writing everything received) and prints the
//       parts and counts. Every part of a framed variant gets its reception
//       times (OUTPUT.times). The GPS port of the settings (Lib/GpsPort.ega;
//       --gps-device and --gps-baud override it) is read beside the
//       instrument: its sentences go to OUTPUT.nmea, the cable out of
//       Lib/Positioning.ega to OUTPUT.cable, and the GPS's changes to
//       standard error. An existing OUTPUT, later parts or comments files
//       of the name are replaced only with --replace. Messages go to
//       standard error; a failed write is tried again every 10 s. --shown
//       writes "ROW NS" per record once it is written to the log: the
//       CLOCK_MONOTONIC time. Exit status 0 when every record received is in
//       the log, 1 when some could not be written there (or the start
//       failed), 2 for a bad command line.
//
//   tessaly-live-log check [--prefix N] [--faults FAULTS] SENT PART...
//       Compares the parts' lines with the records of a tessaly-sim --sent
//       report that a correct session logs, less those on the lines that
//       the generator's --faults-out list FAULTS names (LiveCheck.h):
//       exactly, or with --prefix N missing at most N at the end. Exit
//       status 0 when they agree.
#include <QCoreApplication>
#include <QTimer>

#include <signal.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <string>
#include <vector>

#include "acquisition/LiveSessionThread.h"
#include "core/GpsStatusText.h"
#include "core/LiveStatusText.h"
#include "core/ProgramHome.h"
#include "core/ProgramVersion.h"
#include "core/RecordTimesFile.h"
#include "core/SettingsFile.h"
#include "core/SettingsStore.h"
#include "shell/SerialTransport.h"
#include "tools/live/LiveCheck.h"
#include "tools/options/ToolOptions.h"

namespace tessaly::live {
namespace {

constexpr const char* kUsage =
    "usage: tessaly-live-log log [--variant V] [--baud N] [--seconds S] [--records-per-part N] [--shown FILE]\n"
    "                            [--replace] [--gps-device PATH] [--gps-baud N] OUTPUT\n"
    "       tessaly-live-log check [--prefix N] [--faults FAULTS] SENT PART...\n"
    "       tessaly-live-log --help\n"
    "       tessaly-live-log --version\n"
    "V: kvl, zpx, zpt, rtb, rtc or oth (default kvl)\n";

constexpr std::int64_t kWriteRetryNs = 10 * kNsPerSecond;

struct Options {
  std::string command;
  LogVariantId variant = LogVariantId::KV7100;
  long long baud = 0;  // 0: the settings' rate
  double seconds = 0;
  long long recordsPerPart = kRecordsPerPart;
  std::string shown;
  bool replace = false;
  std::string gpsDevice;
  long long gpsBaud = 0;  // 0: the settings' rate
  bool help = false;
  std::vector<std::string> operands;
};

std::vector<options::Option> OptionTable(Options& o) {
  using options::WholeNumber;
  constexpr long long kMost = 1'000'000'000;
  return {
      {"--variant", true,
       options::OneOf<LogVariantId>(o.variant,
                                    {{"kvl", LogVariantId::KV7100},
                                     {"zpx", LogVariantId::ZpxKV},
                                     {"zpt", LogVariantId::ZpxBT},
                                     {"rtb", LogVariantId::Rt4Basic},
                                     {"rtc", LogVariantId::Rt4KvComp},
                                     {"oth", LogVariantId::Other}},
                                    "--variant takes kvl, zpx, zpt, rtb, rtc or oth"),
       {}},
      {"--baud", true, WholeNumber(o.baud, 1LL, 4'000'000LL, "--baud takes bits per second from 1 to 4000000"),
       {"log"}},
      {"--seconds", true, options::DecimalNumber(o.seconds, 0, 1e9, "--seconds takes seconds from 0 to 1000000000"),
       {"log"}},
      {"--records-per-part", true,
       WholeNumber(o.recordsPerPart, 1LL, kMost, "--records-per-part takes a count from 1 to 1000000000"), {"log"}},
      {"--shown", true, options::Text(o.shown), {"log"}},
      {"--replace", false, options::Set(o.replace, true), {"log"}},
      {"--gps-device", true, options::Text(o.gpsDevice), {"log"}},
      {"--gps-baud", true, WholeNumber(o.gpsBaud, 1LL, 4'000'000LL, "--gps-baud takes bits per second from 1 to 4000000"),
       {"log"}},
  };
}

// Empty when the command line is good, else why not.
std::optional<std::string> Parse(int argc, char** argv, Options& o) {
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  if (options::AsksForHelp(args)) {
    o.help = true;
    return std::nullopt;
  }
  if (args.empty()) return "no command given (log or check)";
  o.command = args[0];
  if (o.command != "log") return "unknown command: " + o.command;
  const std::vector<options::Option> table = OptionTable(o);
  if (auto error = options::ParseArguments(std::span(args).subspan(1), args[0], table, o.operands)) return error;
  if (o.operands.size() != 1) return "log takes one OUTPUT";
  return std::nullopt;
}

void Say(const std::string& message) { std::cerr << "tessaly-live-log: " << message << "\n"; }

// The program's serial settings and map datum, as the program reads them.
SerialSettings ReadSerial(const std::string& home, const Options& options) {
  SerialSettings settings;
  const std::string file = LibPath(home, "SerialPort.ega");
  std::error_code missing;
  try {
    if (std::filesystem::exists(file, missing)) ReadSerialSettings(file, settings);
  } catch (const SettingsError& error) {
    Say(std::string("serial settings: ") + error.what());
  }
  if (options.baud > 0) settings.Baudrate = static_cast<std::int32_t>(options.baud);
  return settings;
}

// The GPS port: the settings' (none when they name none), or the device of
// the command line; and how records are positioned.
struct GpsChoice {
  bool enabled = false;
  SerialSettings serial;
  std::string device;  // overrides the settings' port
  LaybackSettings layback;
};

GpsChoice ReadGps(const std::string& home, const Options& options) {
  GpsChoice gps;
  GpsPortSettings port;
  try {
    port = ReadGpsPortSettingsOrNone(LibPath(home, "GpsPort.ega"));
    gps.layback = ReadLaybackSettingsOrDefaults(LibPath(home, "Positioning.ega"));
  } catch (const SettingsError& error) {
    Say(std::string("GPS settings: ") + error.what());
  }
  gps.enabled = port.Enabled() || !options.gpsDevice.empty();
  gps.serial = GpsSerialSettings(port);
  gps.device = options.gpsDevice;
  if (options.gpsBaud > 0) gps.serial.Baudrate = static_cast<std::int32_t>(options.gpsBaud);
  return gps;
}

int ReadDatum(const std::string& home) {
  try {
    return ReadMapDatum(LibPath(home, "UTM.ega"));
  } catch (const SettingsError&) {
    return 0;
  }
}

// Says on standard error what the session does, and keeps the counts.
class Reporter : public LiveObserver {
 public:
  void RecordAccepted(const LiveRecord& record) override { records += record.row > 0 ? 1 : 0; }
  void RecordRejected(const RejectedRecord&) override { ++errorsInPart; }
  void PartStarted(std::size_t, const std::string& path) override {
    parts.push_back(path);
    errorsInPart = 0;
  }
  void Happened(LiveEvent event, const LiveStatus& status) override {
    if (event == LiveEvent::Started || event == LiveEvent::Holding) return;
    Say(event == LiveEvent::WriteFailed ? status.writeError : LiveStatusText(status));
  }
  void Stopped(const StopReport& report) override {
    stop = report;
    if (const std::string text = StopReportText(report); !text.empty()) Say(text);
  }
  // The port's changes and the fix coming or going, not every fix.
  void GpsChanged(const LiveGpsStatus& status) override {
    const std::string port = GpsPortText(status.port);
    const bool valid = status.latest && status.latest->valid;
    if (port != gpsPort || valid != gpsValid || status.fileError != gpsFileError) {
      Say("GPS: " + (status.fileError.empty() ? "" : status.fileError + "; ") +
          (port.empty() ? GpsFixText(status, SystemClock().UtcNs()) : port));
    }
    gpsPort = port;
    gpsValid = valid;
    gpsFileError = status.fileError;
    gps = status.port;
  }

  std::uint64_t records = 0;
  int errorsInPart = 0;
  std::vector<std::string> parts;
  StopReport stop;
  std::optional<GpsPortStatus> gps;
  std::string gpsPort, gpsFileError;
  bool gpsValid = false;
};

volatile sig_atomic_t stopRequested = 0;

int RunLog(int argc, char** argv, const Options& options, LogVariantId id) {
  QCoreApplication app(argc, argv);
  const std::string home = ProgramHome();
  const std::string output = options.operands[0];
  const EarlierLogFiles earlier = FindEarlierLogFiles(output);
  if (!earlier.Empty() && !options.replace) {
    Say("files of an earlier log of this name exist (" + ListFileNames(earlier) +
        "); --replace replaces them (comments files are set aside as *.replaced)");
    return 1;
  }
  LiveSessionOptions sessionOptions;
  sessionOptions.recordsPerPart = static_cast<std::size_t>(options.recordsPerPart);
  sessionOptions.mapDatum = ReadDatum(home);
  sessionOptions.rescueFolder = LibPath(home, "");
  sessionOptions.writeRetryNs = kWriteRetryNs;
  const SerialSettings serial = ReadSerial(home, options);
  const GpsChoice gps = ReadGps(home, options);
  sessionOptions.layback = gps.layback;
  LiveSessionThread::TransportMaker makeGps;
  if (gps.enabled) makeGps = [gps] { return std::make_unique<SerialTransport>(gps.serial, gps.device); };
  std::unique_ptr<RecordTimesFile> shown;  // written to the log, on the session's thread
  if (!options.shown.empty()) shown = std::make_unique<RecordTimesFile>(options.shown);
  LiveSessionThread session(
      FindLogVariant(id), sessionOptions, [serial] { return std::make_unique<SerialTransport>(serial); },
      shown.get(), makeGps);
  Reporter reporter;
  QObject::connect(&session, &LiveSessionThread::ReportsWaiting, &app, [&] { session.Deliver(reporter); });
  if (const std::string error = session.Start(output, earlier); !error.empty()) {
    Say(error);
    return 1;
  }

  QTimer watch;
  watch.setInterval(50);
  SystemClock clock;
  const std::int64_t end = options.seconds > 0 ? clock.MonotonicNs() + static_cast<std::int64_t>(options.seconds * 1e9) : 0;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (stopRequested || (end && clock.MonotonicNs() >= end)) QCoreApplication::exit(0);
  });
  watch.start();
  app.exec();
  session.Stop();
  session.Deliver(reporter);
  for (const std::string& part : reporter.parts) std::cout << "part " << part << "\n";
  std::cout << "records " << reporter.records << "\nerrors-in-last-part " << reporter.errorsInPart << "\n";
  if (reporter.gps)
    std::cout << "gps-sentences " << reporter.gps->sentences << "\ngps-bad-checksums " << reporter.gps->badChecksums
              << "\ngps-lost " << reporter.gps->lostLines + reporter.gps->heldLines << "\n";
  return StopReportText(reporter.stop).empty() ? 0 : 1;
}

}  // namespace
}  // namespace tessaly::live

int main(int argc, char** argv) {
  if (tessaly::PrintVersionIfAsked(argc, argv, "tessaly-live-log")) return 0;
  using namespace tessaly::live;
  if (argc >= 2 && std::string(argv[1]) == "check") return RunCheckCommand({argv + 2, argv + argc});
  Options options;
  if (const auto error = Parse(argc, argv, options)) {
    std::cerr << "tessaly-live-log: " << *error << "\n" << kUsage;
    return tessaly::options::kExitUsage;
  }
  if (options.help) {
    std::cout << kUsage;
    return 0;
  }
  struct sigaction action {};
  action.sa_handler = [](int) { stopRequested = 1; };
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  signal(SIGXFSZ, SIG_IGN);  // a file-size limit is a failed write, held and rescued, not the end
  return RunLog(argc, argv, options, options.variant);
}
