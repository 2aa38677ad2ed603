#include "tools/sim/SimOptions.h"

#include <cstdint>
#include <string_view>
#include <vector>

#include "tools/options/ToolOptions.h"

namespace tessaly::sim {

const char* const kSimUsage =
    "usage: tessaly-sim stream [options] FILE\n"
    "       tessaly-sim dump [options] FILE\n"
    "       tessaly-sim --help\n"
    "       tessaly-sim --version\n"
    "\n"
    "An instrument on a pseudo-terminal, for tests, demonstrations and training.\n"
    "It creates a pseudo-terminal pair, prints the device to open (one line on\n"
    "standard output; again after each hang-up) and sends FILE over it, paced\n"
    "at the line's byte rate: no byte is written before the line could have\n"
    "carried it, counting start, data, parity and stop bits.\n"
    "\n"
    "stream  replays the data records of a survey log (any kind, or a raw\n"
    "        capture) as the instrument sends them live: each record followed by\n"
    "        CR LF. The records of a data-string or graphic log are the lines\n"
    "        between its heading and its end line; of any other file, every\n"
    "        line. Empty lines are not sent.\n"
    "dump    sends a data set as the KV7100 sends it from its memory when the\n"
    "        operator asks for it, ending with the end line\n"
    "        \"** End of data set **\". Graphic form: the .kvg file's bytes, up to\n"
    "        and including its end line. Data-string form: the lines of the .kvs\n"
    "        file up to its end line, empty lines left out, each followed by\n"
    "        CR LF, then the end line and CR LF; the download's reformatting\n"
    "        takes out every line end and puts its own, which gives the .kvs\n"
    "        layout back.\n"
    "\n"
    "line settings (defaults: those of the default Lib/SerialPort.ega):\n"
    "  --baud N            bits per second (default 4800)\n"
    "  --data-bits N       5 to 8 (default 8)\n"
    "  --parity P          none, even, odd, mark or space (default none)\n"
    "  --stop-bits N       1, 1.5 or 2 (default 1)\n"
    "\n"
    "stream options:\n"
    "  --rate HZ           records per second, at most (default 1; 0: as fast as\n"
    "                      the baud rate allows)\n"
    "  --loop              send the file again and again until stopped\n"
    "\n"
    "dump options:\n"
    "  --form F            graphic or data-string (default: graphic for a file\n"
    "                      recognised as a graphic log, else data-string)\n"
    "  --no-end-line       stop without the end line (the download then ends by\n"
    "                      its idle rule)\n"
    "\n"
    "faults (each drawn from one random sequence: the same --seed, options and\n"
    "file give the same faults):\n"
    "  --seed N            seed of the faults (default 1)\n"
    "  --split P           chance (0 to 1) that a record (dump: a line) is cut at\n"
    "                      random points into 2 to 4 writes\n"
    "  --garbage P         stream: chance of 1 to 16 garbage bytes before a\n"
    "                      record (never '$', CR or LF)\n"
    "  --garbage-any       stream: garbage may hold any byte, '$', CR and LF\n"
    "                      included, and ends with CR or LF, so that it never\n"
    "                      joins the record after it\n"
    "  --broken P          stream: chance that a line break (CR, LF or CR LF) is\n"
    "                      put inside a record, within its second field (after\n"
    "                      the first comma): neither part is then a whole record;\n"
    "                      a record without a comma is never broken\n"
    "  --burst P           stream: chance that a record starts a burst: it and\n"
    "                      the next 1 to 4 records go in one write\n"
    "  --pause P           stream: chance of a pause after a record\n"
    "  --pause-ms MS       length of a pause (default 1000)\n"
    "  --hangup-after N    after every N records (dump: lines) the device\n"
    "                      disappears, as an unplugged USB adapter does\n"
    "  --hangup-ms MS      how long it stays away before a new device appears\n"
    "                      (and --link points at it) (default 2000)\n"
    "  --hangup-in-flight  a hang-up does not wait for the reader: once it has\n"
    "                      taken what came before, 0 to 4 further records and\n"
    "                      the first part of the record after them (half the\n"
    "                      time all but its line end) go out in one write and\n"
    "                      the device goes away at once or up to 0.1 s later;\n"
    "                      the reader may have taken all, some or none of them\n"
    "\n"
    "device:\n"
    "  --link PATH         also make PATH a symbolic link to the device (a stale\n"
    "                      link is replaced; any other file is left alone)\n"
    "  --wait-open         wait until a reader opens the device before sending,\n"
    "                      and again after each hang-up; without it sending\n"
    "                      starts at once and the device keeps what nobody has\n"
    "                      read yet (about 20 KiB, then sending waits)\n"
    "  --stay              after the last byte (and the wait for the reader) keep\n"
    "                      the device, as an instrument left plugged in, until\n"
    "                      SIGINT or SIGTERM; without it the run ends there and\n"
    "                      the device goes away\n"
    "  --sent FILE         report what was sent, one event a line (below)\n"
    "  --sent-times        follow every record of the report by a T line\n"
    "\n"
    "Before a hang-up (but for its records in flight) and at the end the\n"
    "simulator waits (at most 2 s) until the reader has taken every byte, then\n"
    "closes the device; it leaves at once when no reader has it open. SIGINT or SIGTERM stops it: it closes the device,\n"
    "removes the link and exits with status 0.\n"
    "\n"
    "To log from the simulator, make the program's serial port a pattern that\n"
    "names the link, with %d for the port number of the serial settings:\n"
    "  tessaly-sim stream --link /tmp/tessaly-tty1 --loop survey.kvl &\n"
    "  TESSALY_SERIAL_DEVICE=/tmp/tessaly-tty%d tessaly      (port number 1)\n"
    "\n"
    "--sent report, one line per event, in the order sent; bytes are written\n"
    "with \\\\, \\r, \\n, \\t and \\xHH for any other byte below 0x20 or above 0x7e:\n"
    "  D PATH              a device appeared (first, and after each hang-up)\n"
    "  L N                 the record on the next R, S, X or C line is line N\n"
    "                      (1-based) of FILE (stream only)\n"
    "  R BYTES             a record (dump: a line) sent in one write, line end included\n"
    "  S CUTS BYTES        the same, cut into writes after the given byte counts\n"
    "                      (comma-separated, ascending)\n"
    "  B N                 the next N R lines went in one write (a burst)\n"
    "  X AT BYTES          a record sent in one write with a line break put in\n"
    "                      after its first AT bytes; BYTES as sent, break included\n"
    "  G BYTES             garbage bytes\n"
    "  P MS                a pause\n"
    "  F N MS              the next N R lines and the C line after them went out\n"
    "                      in one write, MS milliseconds before a hang-up that\n"
    "                      did not wait for the reader (--hangup-in-flight)\n"
    "  C BYTES             the first part of a record, cut short by a hang-up\n"
    "  H MS UNREAD         a hang-up: the device went away for MS milliseconds;\n"
    "                      UNREAD bytes sent before it (before its F write) had\n"
    "                      not been read and were lost\n"
    "  I BYTES             the part of a record sent when a signal stopped the run\n"
    "  T NS                (--sent-times) the CLOCK_MONOTONIC time in nanoseconds\n"
    "                      when the record before had been written\n"
    "  E UNREAD            the end: the device closed with UNREAD bytes unread\n"
    "The records are never dropped or changed but by --broken and\n"
    "--hangup-in-flight: in order, they are exactly the R, S, X (less the\n"
    "break put in) and C (first part only) lines.\n"
    "\n"
    "exit status: 0 done or stopped by a signal, 1 the file or the device could\n"
    "not be used (the message says why), 2 usage error.\n";

namespace {

using options::Apply;
using options::DecimalNumber;
using options::OneOf;
using options::Set;
using options::Text;
using options::WholeNumber;

constexpr std::string_view kStream = "stream";
constexpr std::string_view kDump = "dump";

Apply Chance(double& target, std::string_view name) {
  return DecimalNumber(target, 0.0, 1.0, std::string(name) + " takes a chance from 0 to 1");
}

// The options, writing into `o`; the modes each applies to.
std::vector<options::Option> OptionTable(SimOptions& o) {
  FaultSettings& f = o.faults;
  return {
      {"--baud", true, WholeNumber(o.line.baud, 1, 4000000, "--baud takes bits per second from 1 to 4000000"), {}},
      {"--data-bits", true, WholeNumber(o.line.dataBits, 5, 8, "--data-bits takes 5 to 8"), {}},
      {"--parity", true,
       OneOf(o.line.parity,
             {{"none", LineParity::None}, {"even", LineParity::Even}, {"odd", LineParity::Odd},
              {"mark", LineParity::Mark}, {"space", LineParity::Space}},
             "--parity takes none, even, odd, mark or space"),
       {}},
      {"--stop-bits", true, OneOf(o.line.stopBits, {{"1", 1.0}, {"1.5", 1.5}, {"2", 2.0}}, "--stop-bits takes 1, 1.5 or 2"),
       {}},
      {"--rate", true, DecimalNumber(o.rate, 0.0, 1e6, "--rate takes records per second from 0 to 1000000"), {kStream}},
      {"--loop", false, Set(o.loop, true), {kStream}},
      {"--form", true,
       OneOf(o.form, {{"graphic", DumpForm::Graphic}, {"data-string", DumpForm::DataString}},
             "--form takes graphic or data-string"),
       {kDump}},
      {"--no-end-line", false, Set(o.endLine, false), {kDump}},
      {"--seed", true, WholeNumber<std::uint64_t>(f.seed, 0, UINT64_MAX, "--seed takes a whole number"), {}},
      {"--split", true, Chance(f.split, "--split"), {}},
      {"--garbage", true, Chance(f.garbage, "--garbage"), {kStream}},
      {"--burst", true, Chance(f.burst, "--burst"), {kStream}},
      {"--pause", true, Chance(f.pause, "--pause"), {kStream}},
      {"--broken", true, Chance(f.broken, "--broken"), {kStream}},
      {"--garbage-any", false, Set(f.garbageAny, true), {kStream}},
      {"--pause-ms", true, WholeNumber(f.pauseMs, 0, 3600000, "--pause-ms takes milliseconds from 0 to 3600000"),
       {kStream}},
      {"--hangup-after", true,
       WholeNumber(f.hangupAfter, 1, 1000000000, "--hangup-after takes a number of records from 1"), {}},
      {"--hangup-ms", true, WholeNumber(f.hangupMs, 0, 3600000, "--hangup-ms takes milliseconds from 0 to 3600000"),
       {}},
      {"--hangup-in-flight", false, Set(f.hangupInFlight, true), {}},
      {"--link", true, Text(o.linkPath), {}},
      {"--wait-open", false, Set(o.waitOpen, true), {}},
      {"--stay", false, Set(o.stay, true), {}},
      {"--sent", true, Text(o.sentPath), {}},
      {"--sent-times", false, Set(o.sentTimes, true), {}},
  };
}

}  // namespace

std::vector<std::string_view> SimOptionNames() {
  SimOptions unused;
  std::vector<std::string_view> names;
  for (const options::Option& option : OptionTable(unused)) names.push_back(option.name);
  return names;
}

double LineSettings::BitsPerByte() const {
  return 1.0 + dataBits + (parity == LineParity::None ? 0.0 : 1.0) + stopBits;
}

std::optional<std::string> ParseSimOptions(int argc, char** argv, SimOptions& options) {
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  if (options::AsksForHelp(args)) {
    options.help = true;
    return std::nullopt;
  }
  if (args.empty()) return "no mode given (stream or dump)";
  if (args[0] == kStream) options.mode = SimMode::Stream;
  else if (args[0] == kDump) options.mode = SimMode::Dump;
  else return "unknown mode: " + std::string(args[0]);
  std::vector<std::string> operands;
  const std::vector<options::Option> table = OptionTable(options);
  if (auto error = options::ParseArguments(std::span(args).subspan(1), args[0], table, operands)) return error;
  if (operands.size() != 1) return operands.empty() ? "no FILE given" : "only one FILE can be sent";
  options.file = operands[0];
  return std::nullopt;
}

}  // namespace tessaly::sim
