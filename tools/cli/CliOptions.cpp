#include "CliOptions.h"

#include <algorithm>
#include <charconv>
#include <string_view>

#include "core/PnavImport.h"

namespace tessaly::cli {

const char* const kUsage =
    "usage: tessaly-cli kind FILE\n"
    "       tessaly-cli export [--datum N] [--delimiter TEXT] [--errors ERRFILE] FILE OUT\n"
    "       tessaly-cli pnav [--datum N] [--delimiter TEXT] [--errors ERRFILE]\n"
    "                        --link CHANNEL=FIELD [--link ...] FILE OUT\n"
    "       tessaly-cli utm [--datum N] LAT LON\n"
    "       tessaly-cli track [--datum N] [--size WxH] FILE OUT.png\n"
    "       tessaly-cli position [--cable M] [--offset ALONG,ACROSS] [--depth M] [--mode course|follow]\n"
    "                            [--smooth S] [--datum N] [--times FILE] [--nmea FILE] LOG OUT.csv\n"
    "       tessaly-cli --help\n"
    "\n"
    "kind    prints the recognised kind of a survey log: extension, a tab, the kind's name\n"
    "export  loads a survey log as the log window does and writes its grid as VDG text\n"
    "pnav    imports a navigation file with the given links (CHANNEL @0..@9, FIELD \"Dev\",\n"
    "        \"Towfish Depth\" or \"Sounder\") and writes its grid as VDG text\n"
    "utm     prints the UTM zone, northing and easting of a latitude (-90 to 90) and a\n"
    "        longitude (-180 to 180), in signed decimal degrees\n"
    "track   loads a survey log as the log window does and draws its towfish track (the GPS\n"
    "        track where the log has only that) as a PNG picture: positions in UTM metres,\n"
    "        north up, each point coloured by its deviation; the colour scale ends at the\n"
    "        deviation limit of Lib/View.ega (the default settings' 500 when that file is\n"
    "        missing or unreadable)\n"
    "\n"
    "--datum N         map datum (ellipsoid) 0 to 22; default: Lib/UTM.ega, else 22 (WGS 84)\n"
    "--delimiter TEXT  text written after every cell; default \",\"\n"
    "--errors ERRFILE  also write the error list (four lines per rejected line)\n"
    "--size WxH        picture size in pixels, each side 160 to 4096; default 1024x768\n"
    "--cable M         cable out in metres for the whole log (LOG.cable is then not read)\n"
    "--offset A,C      the tow point A metres astern of and C metres to starboard of the antenna\n"
    "--depth M         towfish depth for records without one\n"
    "--mode MODE       course: the towfish astern along the course made good; follow: on the\n"
    "                  tow point's past track\n"
    "--smooth S        seconds over which the course made good is taken (1 to 600)\n"
    "--times FILE      the reception times instead of LOG.times\n"
    "--nmea FILE       the NMEA sentences instead of LOG.nmea\n"
    "\n"
    "OUT and ERRFILE may not be FILE, FILE's comments file or each other; OUT.png may\n"
    "not be FILE, its comments file or any survey log. They are written to a temporary\n"
    "file beside them that replaces them only when the whole command succeeded: a\n"
    "failed command leaves an earlier file as it was.\n"
    "\n"
    "Exit status: 0 done, 1 the file cannot be used (the message says why), 2 usage error.\n";

namespace {

// Which commands take which options, and how many operands.
struct CommandRule {
  std::string_view name;
  bool outputOptions;  // --delimiter, --errors
  bool links;          // --link
  bool size;           // --size
  bool positioning;    // the options of ParsePositionOption
  std::size_t operands;
};

constexpr CommandRule kCommands[] = {
    {"kind", false, false, false, false, 1},
    {"export", true, false, false, false, 2},
    {"pnav", true, true, false, false, 2},
    {"utm", false, false, false, false, 2},
    {"track", false, false, true, false, 2},
    {"position", false, false, false, true, 2},
};

const CommandRule* FindCommand(std::string_view name) {
  for (const CommandRule& rule : kCommands)
    if (rule.name == name) return &rule;
  return nullptr;
}

// A link's channel is @0 to @9 and its field one of the fixed fields.
bool IsLink(std::string_view channel, std::string_view field) {
  const auto& fields = PnavImport::FixedFields();
  return channel.size() == 2 && channel[0] == '@' && channel[1] >= '0' && channel[1] <= '9' &&
         std::find(fields.begin(), fields.end(), field) != fields.end();
}

std::optional<int> ParseDatum(std::string_view text) {
  int value = -1;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 0 || value > 22) return std::nullopt;
  return value;
}

std::optional<int> ParseSide(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < kSmallestPictureSide ||
      value > kLargestPictureSide)
    return std::nullopt;
  return value;
}

// "WxH", both sides within the limits.
bool ParseSize(std::string_view text, int& width, int& height) {
  const auto x = text.find('x');
  if (x == std::string_view::npos) return false;
  const auto w = ParseSide(text.substr(0, x)), h = ParseSide(text.substr(x + 1));
  if (!w || !h) return false;
  width = *w;
  height = *h;
  return true;
}

}  // namespace

std::optional<std::string> ParseCommandLine(int argc, char** argv, CliOptions& options) {
  std::vector<std::string_view> args(argv + 1, argv + argc);
  for (const std::string_view arg : args)
    if (arg == "--help" || arg == "-h") {
      options.help = true;
      return std::nullopt;
    }
  if (args.empty()) return "no command given";
  const CommandRule* rule = FindCommand(args[0]);
  if (!rule) return "unknown command: " + std::string(args[0]);
  options.command = std::string(args[0]);
  bool onlyOperands = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    const bool isOption = !onlyOperands && arg.size() > 2 && arg.substr(0, 2) == "--";
    if (!onlyOperands && arg == "--") {
      onlyOperands = true;
      continue;
    }
    if (!isOption) {
      options.operands.emplace_back(arg);
      continue;
    }
    if (i + 1 >= args.size()) return std::string(arg) + " needs a value";
    const std::string_view value = args[++i];
    if (arg == "--datum") {
      options.datum = ParseDatum(value);
      if (!options.datum) return "--datum takes a whole number from 0 to 22";
    } else if (arg == "--delimiter" && rule->outputOptions) {
      options.delimiter = std::string(value);
    } else if (arg == "--errors" && rule->outputOptions) {
      options.errorsPath = std::string(value);
    } else if (arg == "--size" && rule->size) {
      if (!ParseSize(value, options.width, options.height))
        return "--size takes WxH, each side a whole number of pixels from " + std::to_string(kSmallestPictureSide) +
               " to " + std::to_string(kLargestPictureSide);
    } else if (arg == "--link" && rule->links) {
      const auto equals = value.find('=');
      if (equals == std::string_view::npos || !IsLink(value.substr(0, equals), value.substr(equals + 1)))
        return "--link takes CHANNEL=FIELD: CHANNEL @0 to @9, FIELD \"Dev\", \"Towfish Depth\" or \"Sounder\"";
      options.links.emplace_back(std::string(value.substr(0, equals)), std::string(value.substr(equals + 1)));
    } else if (std::string error; rule->positioning && ParsePositionOption(arg, value, options.position, error)) {
      if (!error.empty()) return error;
    } else {
      return "unknown option for " + options.command + ": " + std::string(arg);
    }
  }
  if (options.operands.size() != rule->operands)
    return options.command + " takes " + std::to_string(rule->operands) + " operand(s)";
  if (rule->links && options.links.empty()) return "pnav needs at least one --link";
  return std::nullopt;
}

}  // namespace tessaly::cli
