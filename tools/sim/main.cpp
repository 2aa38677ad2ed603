// tessaly-sim: an instrument on a pseudo-terminal. See kSimUsage.
#include <signal.h>

#include <atomic>
#include <exception>
#include <iostream>

#include "core/ProgramVersion.h"
#include "tools/sim/DataSet.h"
#include "tools/sim/PtyDevice.h"
#include "tools/sim/SentReport.h"
#include "tools/sim/SimOptions.h"
#include "tools/sim/Simulator.h"

namespace {

std::atomic<bool> stopRequested{false};

void RequestStop(int) { stopRequested = true; }

// SIGINT, SIGTERM and SIGHUP end the run cleanly. Without SA_RESTART a
// signal also cuts a sleep short.
void CatchStopSignals() {
  struct sigaction action {};
  action.sa_handler = RequestStop;
  sigemptyset(&action.sa_mask);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
  // A reader of the device list that went away must not end the run.
  ::signal(SIGPIPE, SIG_IGN);
}

// The records (stream) with their lines of the file, or the lines (dump).
tessaly::sim::NumberedRecords ItemsToSend(const tessaly::sim::SimOptions& options) {
  using namespace tessaly::sim;
  if (options.mode == SimMode::Stream) return NumberedStreamRecords(options.file);
  const DumpForm form = options.form == DumpForm::Detect ? DetectDumpForm(options.file) : options.form;
  return {DumpLines(options.file, form, options.endLine), {}};
}

}  // namespace

int main(int argc, char** argv) {
  if (tessaly::PrintVersionIfAsked(argc, argv, "tessaly-sim")) return 0;
  using namespace tessaly::sim;
  SimOptions options;
  if (const auto error = ParseSimOptions(argc, argv, options)) {
    std::cerr << "tessaly-sim: " << *error << "\n" << kSimUsage;
    return kExitUsage;
  }
  if (options.help) {
    std::cout << kSimUsage;
    return kExitOk;
  }
  try {
    NumberedRecords items = ItemsToSend(options);
    SentReport report(options.sentPath, options.sentTimes);
    CatchStopSignals();
    PtyDevice device(options.linkPath);
    Simulator simulator(options, std::move(items.records), device, report, std::cout, stopRequested);
    simulator.SetSourceLines(std::move(items.lines));
    simulator.Run();
  } catch (const std::exception& error) {
    std::cerr << "tessaly-sim: " << error.what() << "\n";
    return kExitFailed;
  }
  return kExitOk;
}
