// Command line of tessaly-sim: the mode, the line settings, the faults and
// the file to send.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/options/ToolOptions.h"

namespace tessaly::sim {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = options::kExitUsage;

enum class SimMode { Stream, Dump };
enum class DumpForm { Detect, Graphic, DataString };
enum class LineParity { None, Even, Odd, Mark, Space };

// Line settings; the defaults are those of the program's default
// Lib/SerialPort.ega (4800 baud, 8 data bits, no parity, one stop bit).
struct LineSettings {
  int baud = 4800;
  int dataBits = 8;
  LineParity parity = LineParity::None;
  double stopBits = 1.0;

  // Bits on the line for one byte: start, data, parity and stop bits.
  double BitsPerByte() const;
};

// Faults, drawn from one random sequence seeded by `seed`: the same options
// and file give the same faults.
struct FaultSettings {
  double garbage = 0.0;   // chance of garbage bytes before a record
  double split = 0.0;     // chance that a record is cut across several writes
  double burst = 0.0;     // chance that a record starts a burst (2 to 5 records, one write)
  double pause = 0.0;     // chance of a pause after a record
  double broken = 0.0;    // chance of a line break put inside a record
  bool garbageAny = false;  // garbage may hold '$', CR and LF (and ends with CR or LF)
  int pauseMs = 1000;
  int hangupAfter = 0;    // records between hang-ups; 0: no hang-up
  int hangupMs = 2000;
  bool hangupInFlight = false;  // a hang-up leaves its last records in flight
  std::uint64_t seed = 1;
};

struct SimOptions {
  SimMode mode = SimMode::Stream;
  bool help = false;
  LineSettings line;
  FaultSettings faults;
  double rate = 1.0;  // stream: records per second; 0: as fast as the line allows
  bool loop = false;
  DumpForm form = DumpForm::Detect;
  bool endLine = true;
  bool waitOpen = false;
  bool stay = false;  // the device stays after the last byte until stopped
  std::string linkPath;
  std::string sentPath;
  bool sentTimes = false;
  std::string file;
};

extern const char* const kSimUsage;

// The name of every option, "--baud" and so on.
std::vector<std::string_view> SimOptionNames();

// Parses argv. Returns the reason on a usage error.
std::optional<std::string> ParseSimOptions(int argc, char** argv, SimOptions& options);

}  // namespace tessaly::sim
