// tessaly-cli: the survey-log core without windows. See Usage().
#include <clocale>
#include <iostream>

#include "CliCommands.h"
#include "CliOptions.h"
#include "core/OutputFile.h"
#include "core/ProgramVersion.h"

int main(int argc, char** argv) {
  if (tessaly::PrintVersionIfAsked(argc, argv, "tessaly-cli")) return 0;
  // Numbers are read and written with the locale's decimal separator, as the
  // application does.
  std::setlocale(LC_ALL, "");
  // Ctrl-C or kill during an export leaves no temporary file.
  tessaly::RemoveReplacementsOnSignals();
  using namespace tessaly::cli;
  CliOptions options;
  if (const auto error = ParseCommandLine(argc, argv, options)) {
    std::cerr << "tessaly-cli: " << *error << "\n" << Usage();
    return kExitUsage;
  }
  if (options.help) {
    std::cout << Usage();
    return kExitOk;
  }
  if (options.command == "kind") return RunKind(options);
  if (options.command == "export") return RunExport(options);
  if (options.command == "pnav") return RunPnav(options);
  if (options.command == "track") return RunTrack(options);
  if (options.command == "qc") return RunQc(options);
  return RunUtm(options);
}
