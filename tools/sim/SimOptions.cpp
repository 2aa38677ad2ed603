#include "tools/sim/SimOptions.h"

#include <charconv>
#include <functional>
#include <string_view>
#include <vector>

namespace tessaly::sim {

const char* const kSimUsage =
    "usage: tessaly-sim stream [options] FILE\n"
    "       tessaly-sim dump [options] FILE\n"
    "       tessaly-sim --help\n"
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
    "  --burst P           stream: chance that a record starts a burst: it and\n"
    "                      the next 1 to 4 records go in one write\n"
    "  --pause P           stream: chance of a pause after a record\n"
    "  --pause-ms MS       length of a pause (default 1000)\n"
    "  --hangup-after N    stream: after every N records the device disappears,\n"
    "                      as an unplugged USB adapter does\n"
    "  --hangup-ms MS      how long it stays away before a new device appears\n"
    "                      (and --link points at it) (default 2000)\n"
    "\n"
    "GPS (stream): a second device sending a ship's NMEA 0183 sentences, as the\n"
    "survey generator writes them beside a log (gen_survey.py --nmea-out FILE:\n"
    "GGA, RMC, VTG, HDT and ZDA at its --gps-rate, 1 to 10 Hz), each at the pace\n"
    "of its reception time there, from the start of the run; the file's times\n"
    "may run over midnight (--start-time, --start-date of the generator):\n"
    "  --gps FILE          the NMEA file (UTC time, a tab, the sentence, a line each)\n"
    "  --gps-link PATH     the device's fixed name (required with --gps)\n"
    "  --gps-baud N        the GPS line's bits per second (default 4800, 8N1)\n"
    "  --gps-bad-checksum P  chance that a sentence goes with a wrong checksum\n"
    "  --gps-invalid P     chance that an epoch's fix is marked invalid (GGA\n"
    "                      quality 0, RMC status V and mode N, VTG mode N)\n"
    "  --gps-dropout-every N  after every N epochs the GPS falls silent\n"
    "  --gps-dropout-ms MS    for MS milliseconds (default 3000)\n"
    "  --gps-sent FILE     report what the GPS sent, a line each: S SENTENCE as in\n"
    "                      the file, V SENTENCE with its fix marked invalid,\n"
    "                      C SENTENCE with a wrong checksum, D MS a dropout\n"
    "The GPS device stays open until the records end; --wait-open waits for its\n"
    "reader too.\n"
    "\n"
    "device:\n"
    "  --link PATH         also make PATH a symbolic link to the device (a stale\n"
    "                      link is replaced; any other file is left alone)\n"
    "  --wait-open         wait until a reader opens the device before sending,\n"
    "                      and again after each hang-up; without it sending\n"
    "                      starts at once and the device keeps what nobody has\n"
    "                      read yet (about 20 KiB, then sending waits)\n"
    "  --sent FILE         report what was sent, one event a line (below)\n"
    "  --sent-times        follow every record of the report by a T line\n"
    "\n"
    "Before a hang-up and at the end the simulator waits (at most 2 s) until the\n"
    "reader has taken every byte, then closes the device; it leaves at once when\n"
    "no reader has it open. SIGINT or SIGTERM stops it: it closes the device,\n"
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
    "  R BYTES             a record (dump: a line) sent in one write, line end included\n"
    "  S CUTS BYTES        the same, cut into writes after the given byte counts\n"
    "                      (comma-separated, ascending)\n"
    "  B N                 the next N R lines went in one write (a burst)\n"
    "  G BYTES             garbage bytes\n"
    "  P MS                a pause\n"
    "  H MS UNREAD         a hang-up: the device went away for MS milliseconds;\n"
    "                      UNREAD bytes had not been read and were lost\n"
    "  I BYTES             the part of a record sent when a signal stopped the run\n"
    "  T NS                (--sent-times) the CLOCK_MONOTONIC time in nanoseconds\n"
    "                      when the record before had been written\n"
    "  E UNREAD            the end: the device closed with UNREAD bytes unread\n"
    "The records are never dropped or changed: in order, they are exactly the\n"
    "R and S lines.\n"
    "\n"
    "exit status: 0 done or stopped by a signal, 1 the file or the device could\n"
    "not be used (the message says why), 2 usage error.\n";

namespace {

using Apply = std::function<std::optional<std::string>(SimOptions&, std::string_view)>;

enum ModeSet { kStream = 1, kDump = 2, kBoth = 3 };

struct OptionRule {
  std::string_view name;
  int modes;
  bool takesValue;
  Apply apply;
};

template <typename Number>
std::optional<Number> ParseNumber(std::string_view text) {
  Number value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// A setter for a number option whose value must lie in [low, high]; `what`
// is the message when it does not.
template <typename Number, typename Member>
Apply NumberIn(Member member, Number low, Number high, std::string what) {
  return [member, low, high, what](SimOptions& options, std::string_view text) -> std::optional<std::string> {
    const auto value = ParseNumber<Number>(text);
    if (!value || !(low <= *value && *value <= high)) return what + ", not " + std::string(text);
    member(options) = *value;
    return std::nullopt;
  };
}

std::optional<std::string> ParseParity(SimOptions& options, std::string_view text) {
  constexpr std::pair<std::string_view, LineParity> kNames[] = {{"none", LineParity::None},
                                                                {"even", LineParity::Even},
                                                                {"odd", LineParity::Odd},
                                                                {"mark", LineParity::Mark},
                                                                {"space", LineParity::Space}};
  for (const auto& [name, parity] : kNames)
    if (text == name) {
      options.line.parity = parity;
      return std::nullopt;
    }
  return "--parity takes none, even, odd, mark or space, not " + std::string(text);
}

std::optional<std::string> ParseStopBits(SimOptions& options, std::string_view text) {
  for (const double bits : {1.0, 1.5, 2.0})
    if (ParseNumber<double>(text) == bits) {
      options.line.stopBits = bits;
      return std::nullopt;
    }
  return "--stop-bits takes 1, 1.5 or 2, not " + std::string(text);
}

std::optional<std::string> ParseForm(SimOptions& options, std::string_view text) {
  if (text == "graphic") options.form = DumpForm::Graphic;
  else if (text == "data-string") options.form = DumpForm::DataString;
  else return "--form takes graphic or data-string, not " + std::string(text);
  return std::nullopt;
}

Apply Flag(bool SimOptions::*member, bool value) {
  return [member, value](SimOptions& options, std::string_view) -> std::optional<std::string> {
    options.*member = value;
    return std::nullopt;
  };
}

Apply Text(std::string SimOptions::*member) {
  return [member](SimOptions& options, std::string_view text) -> std::optional<std::string> {
    if (text.empty()) return std::string("an option was given an empty path");
    options.*member = std::string(text);
    return std::nullopt;
  };
}

Apply GpsText(std::string GpsSettings::*member) {
  return [member](SimOptions& options, std::string_view text) -> std::optional<std::string> {
    if (text.empty()) return std::string("an option was given an empty path");
    options.gps.*member = std::string(text);
    return std::nullopt;
  };
}

Apply GpsChance(double GpsSettings::*member, std::string_view name) {
  return NumberIn<double>([member](SimOptions& o) -> double& { return o.gps.*member; }, 0.0, 1.0,
                          std::string(name) + " takes a chance from 0 to 1");
}

Apply Chance(double FaultSettings::*member, std::string_view name) {
  return NumberIn<double>([member](SimOptions& o) -> double& { return o.faults.*member; }, 0.0, 1.0,
                          std::string(name) + " takes a chance from 0 to 1");
}

const std::vector<OptionRule>& Rules() {
  static const std::vector<OptionRule> rules = {
      {"--baud", kBoth, true,
       NumberIn<int>([](SimOptions& o) -> int& { return o.line.baud; }, 1, 4000000,
                     "--baud takes bits per second from 1 to 4000000")},
      {"--data-bits", kBoth, true,
       NumberIn<int>([](SimOptions& o) -> int& { return o.line.dataBits; }, 5, 8, "--data-bits takes 5 to 8")},
      {"--parity", kBoth, true, ParseParity},
      {"--stop-bits", kBoth, true, ParseStopBits},
      {"--rate", kStream, true,
       NumberIn<double>([](SimOptions& o) -> double& { return o.rate; }, 0.0, 1e6,
                        "--rate takes records per second from 0 to 1000000")},
      {"--loop", kStream, false, Flag(&SimOptions::loop, true)},
      {"--form", kDump, true, ParseForm},
      {"--no-end-line", kDump, false, Flag(&SimOptions::endLine, false)},
      {"--seed", kBoth, true,
       NumberIn<std::uint64_t>([](SimOptions& o) -> std::uint64_t& { return o.faults.seed; }, 0,
                               UINT64_MAX, "--seed takes a whole number")},
      {"--split", kBoth, true, Chance(&FaultSettings::split, "--split")},
      {"--garbage", kStream, true, Chance(&FaultSettings::garbage, "--garbage")},
      {"--burst", kStream, true, Chance(&FaultSettings::burst, "--burst")},
      {"--pause", kStream, true, Chance(&FaultSettings::pause, "--pause")},
      {"--pause-ms", kStream, true,
       NumberIn<int>([](SimOptions& o) -> int& { return o.faults.pauseMs; }, 0, 3600000,
                     "--pause-ms takes milliseconds from 0 to 3600000")},
      {"--hangup-after", kStream, true,
       NumberIn<int>([](SimOptions& o) -> int& { return o.faults.hangupAfter; }, 1, 1000000000,
                     "--hangup-after takes a number of records from 1")},
      {"--hangup-ms", kStream, true,
       NumberIn<int>([](SimOptions& o) -> int& { return o.faults.hangupMs; }, 0, 3600000,
                     "--hangup-ms takes milliseconds from 0 to 3600000")},
      {"--link", kBoth, true, Text(&SimOptions::linkPath)},
      {"--wait-open", kBoth, false, Flag(&SimOptions::waitOpen, true)},
      {"--sent", kBoth, true, Text(&SimOptions::sentPath)},
      {"--sent-times", kBoth, false, Flag(&SimOptions::sentTimes, true)},
      {"--gps", kStream, true, GpsText(&GpsSettings::file)},
      {"--gps-link", kStream, true, GpsText(&GpsSettings::linkPath)},
      {"--gps-sent", kStream, true, GpsText(&GpsSettings::sentPath)},
      {"--gps-baud", kStream, true,
       NumberIn<int>([](SimOptions& o) -> int& { return o.gps.baud; }, 1, 4000000,
                     "--gps-baud takes bits per second from 1 to 4000000")},
      {"--gps-bad-checksum", kStream, true, GpsChance(&GpsSettings::badChecksum, "--gps-bad-checksum")},
      {"--gps-invalid", kStream, true, GpsChance(&GpsSettings::invalidFix, "--gps-invalid")},
      {"--gps-dropout-every", kStream, true,
       NumberIn<int>([](SimOptions& o) -> int& { return o.gps.dropoutEvery; }, 1, 1000000000,
                     "--gps-dropout-every takes a number of epochs from 1")},
      {"--gps-dropout-ms", kStream, true,
       NumberIn<int>([](SimOptions& o) -> int& { return o.gps.dropoutMs; }, 0, 3600000,
                     "--gps-dropout-ms takes milliseconds from 0 to 3600000")},
  };
  return rules;
}

const OptionRule* FindRule(std::string_view name) {
  for (const OptionRule& rule : Rules())
    if (rule.name == name) return &rule;
  return nullptr;
}

std::optional<std::string> ApplyOption(std::string_view arg, const std::vector<std::string_view>& args,
                                       std::size_t& i, SimOptions& options) {
  const std::size_t equals = arg.find('=');
  const std::string_view name = arg.substr(0, equals);
  const OptionRule* rule = FindRule(name);
  if (!rule) return "unknown option: " + std::string(name);
  const int mode = options.mode == SimMode::Stream ? kStream : kDump;
  if (!(rule->modes & mode))
    return std::string(name) + " does not apply to " + (mode == kStream ? "stream" : "dump");
  if (!rule->takesValue) {
    if (equals != std::string_view::npos) return std::string(name) + " takes no value";
    return rule->apply(options, {});
  }
  if (equals != std::string_view::npos) return rule->apply(options, arg.substr(equals + 1));
  if (i + 1 >= args.size()) return std::string(name) + " needs a value";
  return rule->apply(options, args[++i]);
}

}  // namespace

std::vector<std::string_view> SimOptionNames() {
  std::vector<std::string_view> names;
  for (const OptionRule& rule : Rules()) names.push_back(rule.name);
  return names;
}

double LineSettings::BitsPerByte() const {
  return 1.0 + dataBits + (parity == LineParity::None ? 0.0 : 1.0) + stopBits;
}

std::optional<std::string> ParseSimOptions(int argc, char** argv, SimOptions& options) {
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  for (const std::string_view arg : args)
    if (arg == "--help" || arg == "-h") {
      options.help = true;
      return std::nullopt;
    }
  if (args.empty()) return "no mode given (stream or dump)";
  if (args[0] == "stream") options.mode = SimMode::Stream;
  else if (args[0] == "dump") options.mode = SimMode::Dump;
  else return "unknown mode: " + std::string(args[0]);
  std::vector<std::string_view> operands;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (arg.size() > 2 && arg.substr(0, 2) == "--") {
      if (auto error = ApplyOption(arg, args, i, options)) return error;
    } else {
      operands.push_back(arg);
    }
  }
  if (operands.size() != 1) return operands.empty() ? "no FILE given" : "only one FILE can be sent";
  options.file = std::string(operands[0]);
  if (!options.gps.file.empty() && options.gps.linkPath.empty()) return "--gps needs --gps-link";
  if (options.gps.file.empty() && (!options.gps.linkPath.empty() || !options.gps.sentPath.empty()))
    return "--gps-link and --gps-sent need --gps";
  return std::nullopt;
}

}  // namespace tessaly::sim
