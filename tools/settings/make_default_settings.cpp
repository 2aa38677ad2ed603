// Writes the default settings files of Lib/ with the program's own scrambling.
// The build makes it as tessaly-default-settings; to refresh the committed
// files after a change here, run from the repository root:
//   build/bin/tessaly-default-settings Lib/
// tests/tools/make_default_settings_test.cpp checks that they are its output.
#include <cstdio>
#include <string>

#include "core/AlarmSettings.h"
#include "core/SettingsFile.h"
#include "core/SettingsStore.h"
#include "core/ViewSettings.h"

using namespace tessaly;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s LIB_FOLDER/\n", argv[0]);
    return 2;
  }
  const std::string lib = argv[1];
  WriteSerialSettings(lib + "SerialPort.ega", SerialSettings{});

  WriteViewSettings(lib + "View.ega", DefaultViewSettings());

  WriteMapDatum(lib + "UTM.ega", 22);  // WGS 84
  WriteTextLines(lib + "Files.ega", {});
  WriteAlarmSettings(lib + "Alarms.ega", AlarmSettings{});
  return 0;
}
