// Writes the default settings files of Lib/ with the program's own scrambling.
// The build makes it as tessaly-default-settings; to refresh the committed
// files after a change here, run from the repository root:
//   build/bin/tessaly-default-settings Lib/
// tests/tools/make_default_settings_test.cpp checks that they are its output.
#include <cstdio>
#include <string>

#include "core/SettingsFile.h"
#include "core/SettingsStore.h"

using namespace tessaly;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s LIB_FOLDER/\n", argv[0]);
    return 2;
  }
  const std::string lib = argv[1];
  WriteSerialSettings(lib + "SerialPort.ega", SerialSettings{});

  ViewSettings view;
  view.DevLimit = 500;
  view.NegDevColor = 0xC8C8FF;  // light red
  view.PosDevColor = 0xC8FFC8;  // light green
  view.LineColor = 0xFF0000;    // clBlue
  view.LineWidth = 1;
  view.GridColor = 0x808080;    // clGray
  view.PointColor = 0x800000;   // clNavy
  view.HighlightColor = 0x0000FF;  // clRed
  view.PointSize = 3;
  view.PointsVisible = true;
  view.SamplesPerPage = 52;     // horizontal zoom: 52 columns of one record
  view.MaxDeviation = 50000;
  view.GraphBackground = 0xF0FBFF;  // clCream
  view.InitialDevRange = 82;    // vertical zoom: 10 rows of 32, about 300 units
  view.DevIncrement = 3;
  view.PointIncrement = 1;
  WriteViewSettings(lib + "View.ega", view);

  WriteMapDatum(lib + "UTM.ega", 22);  // WGS 84
  WriteTextLines(lib + "Files.ega", {});
  return 0;
}
