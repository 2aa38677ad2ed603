#include "CliOptions.h"

#include <algorithm>
#include <string_view>

#include "core/ExportFormats.h"
#include "core/PnavImport.h"
#include "tools/options/ToolOptions.h"

namespace tessaly::cli {

std::string Usage() {
  std::string formats;
  for (const ExportFormat& format : ExportFormats())
    formats.append("  ").append(format.name).append(std::max<std::size_t>(1, 16 - format.name.size()), ' ')
        .append(format.help).append("\n");
  return "usage: tessaly-cli kind FILE\n"
         "       tessaly-cli export [--datum N] [--format F] [--delimiter TEXT] [--errors ERRFILE]\n"
         "                          [--lines auto|marks|none] [--ties] [--reproducible] FILE OUT\n"
         "       tessaly-cli pnav [--datum N] [--format F] [--delimiter TEXT] [--errors ERRFILE]\n"
         "                        [--lines auto|marks|none] [--ties] [--reproducible]\n"
         "                        --link CHANNEL=FIELD [--link ...] FILE OUT\n"
         "       tessaly-cli utm [--datum N] LAT LON\n"
         "       tessaly-cli track [--datum N] [--size WxH] [--link CHANNEL=FIELD ...] FILE OUT.png\n"
         "       tessaly-cli qc FILE OUT.csv\n"
         "       tessaly-cli --help\n"
         "       tessaly-cli --version\n"
         "\n"
         "kind    prints the recognised kind of a survey log: extension, a tab, the kind's name\n"
         "export  loads a survey log as the log window does and writes its records in an export format\n"
         "pnav    imports a navigation file with the given links (CHANNEL @0..@9, FIELD \"Dev\",\n"
         "        \"Towfish Depth\" or \"Sounder\") and writes its records in an export format\n"
         "utm     prints the UTM zone, northing and easting of a latitude (-90 to 90) and a\n"
         "        longitude (-180 to 180), in signed decimal degrees\n"
         "track   loads a survey log as the log window does and draws its towfish track (the GPS\n"
         "        track where the log has only that) as a PNG picture: positions in UTM metres,\n"
         "        north up, each point coloured by its deviation; the colour scale ends at the\n"
         "        deviation limit of Lib/View.ega (the default settings' 500 when that file is\n"
         "        missing or unreadable); with --link, FILE is a navigation file imported as\n"
         "        pnav imports it. Fewer than two positions are refused\n"
         "qc      loads a survey log as the log window does and writes its quality flags as CSV:\n"
         "        a header line \"row,time,flag,value\", then a line per flag raised on a record:\n"
         "        grid row, time where the log has one, Spike, Noise, Gap or Depth, and the value\n"
         "        that raised it (the departure from the running median, the fourth difference,\n"
         "        the interval in seconds, the depth in metres); thresholds from Lib/Alarms.ega\n"
         "\n"
         "--datum N         map datum (ellipsoid) 0 to 22; default: Lib/UTM.ega, else 22 (WGS 84)\n"
         "--format F        export format; default: the one OUT's extension names, else vdg\n"
         "--delimiter TEXT  text written after every cell; default \",\"\n"
         "--errors ERRFILE  also write the error list (four lines per rejected line)\n"
         "--lines MODE      survey lines of xyz, csv, geojson and kml: auto (the operator's SOL/EOL\n"
         "                  comments where there are any, else runs of steady course of 200 m or\n"
         "                  more), marks (the comments only) or none (one block, line 0); default auto\n"
         "--ties            xyz: the records between survey lines as Tie blocks (default: left out)\n"
         "--reproducible    leave the export time out, so the same log gives the same bytes\n"
         "--size WxH        picture size in pixels, each side 160 to 4096; default 1024x768\n"
         "\n"
         "export formats:\n" +
         formats +
         "\n"
         "OUT, ERRFILE, OUT.png and OUT.csv may not be FILE, FILE's comments file, each other or any\n"
         "existing survey log or navigation file. They are written to a temporary file\n"
         "beside them that replaces them only when the whole command succeeded: a failed\n"
         "command leaves an earlier file as it was.\n"
         "\n"
         "Exit status: 0 done, 1 the file cannot be used (the message says why), 2 usage error.\n";
}

namespace {

using options::Apply;

// The commands and how many operands each takes.
struct CommandRule {
  std::string_view name;
  std::size_t operands;
};

constexpr CommandRule kCommands[] = {{"kind", 1}, {"export", 2}, {"pnav", 2}, {"utm", 2}, {"track", 2}, {"qc", 2}};

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

Apply Link(std::vector<std::pair<std::string, std::string>>& links) {
  return [&links](std::string_view value) -> std::optional<std::string> {
    const auto equals = value.find('=');
    if (equals == std::string_view::npos || !IsLink(value.substr(0, equals), value.substr(equals + 1)))
      return "--link takes CHANNEL=FIELD: CHANNEL @0 to @9, FIELD \"Dev\", \"Towfish Depth\" or \"Sounder\"";
    links.emplace_back(std::string(value.substr(0, equals)), std::string(value.substr(equals + 1)));
    return std::nullopt;
  };
}

// "WxH", both sides within the limits.
Apply Size(int& width, int& height) {
  return [&width, &height](std::string_view value) -> std::optional<std::string> {
    const auto x = value.find('x');
    const auto side = [](std::string_view text) {
      const std::optional<int> side = options::ReadWhole<int>(text);
      return side && *side >= kSmallestPictureSide && *side <= kLargestPictureSide ? side : std::nullopt;
    };
    const auto w = x == std::string_view::npos ? std::nullopt : side(value.substr(0, x));
    const auto h = x == std::string_view::npos ? std::nullopt : side(value.substr(x + 1));
    if (!w || !h)
      return "--size takes WxH, each side a whole number of pixels from " + std::to_string(kSmallestPictureSide) +
             " to " + std::to_string(kLargestPictureSide) + ", not " + std::string(value);
    width = *w;
    height = *h;
    return std::nullopt;
  };
}

Apply Format(const ExportFormat*& format) {
  return [&format](std::string_view value) -> std::optional<std::string> {
    format = FindExportFormat(value);
    if (!format) return "--format takes " + FormatNames() + ", not " + std::string(value);
    return std::nullopt;
  };
}

Apply Datum(std::optional<int>& datum) {
  return [&datum](std::string_view value) -> std::optional<std::string> {
    const std::optional<int> number = options::ReadWhole<int>(value);
    if (!number || *number < 0 || *number > 22) return "--datum takes a whole number from 0 to 22, not " + std::string(value);
    datum = number;
    return std::nullopt;
  };
}

std::vector<options::Option> OptionTable(CliOptions& o) {
  return {
      {"--datum", true, Datum(o.datum), {}},
      {"--format", true, Format(o.format), {"export", "pnav"}},
      {"--delimiter", true, options::Text(o.delimiter, true), {"export", "pnav"}},
      {"--errors", true, options::Text(o.errorsPath), {"export", "pnav"}},
      {"--lines", true,
       options::OneOf(o.lines, {{"auto", LineMode::Auto}, {"marks", LineMode::Marks}, {"none", LineMode::None}},
                      "--lines takes auto, marks or none"),
       {"export", "pnav"}},
      {"--ties", false, options::Set(o.ties, true), {"export", "pnav"}},
      {"--reproducible", false, options::Set(o.reproducible, true), {"export", "pnav"}},
      {"--link", true, Link(o.links), {"pnav", "track"}},
      {"--size", true, Size(o.width, o.height), {"track"}},
  };
}

}  // namespace

std::optional<std::string> ParseCommandLine(int argc, char** argv, CliOptions& options) {
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  if (options::AsksForHelp(args)) {
    options.help = true;
    return std::nullopt;
  }
  if (args.empty()) return "no command given";
  const CommandRule* rule = FindCommand(args[0]);
  if (!rule) return "unknown command: " + std::string(args[0]);
  options.command = std::string(args[0]);
  const std::vector<options::Option> table = OptionTable(options);
  if (auto error = options::ParseArguments(std::span(args).subspan(1), args[0], table, options.operands)) return error;
  if (options.operands.size() != rule->operands)
    return options.command + " takes " + std::to_string(rule->operands) + " operand(s)";
  if (options.command == "pnav" && options.links.empty()) return "pnav needs at least one --link";
  if (!options.format && (options.command == "export" || options.command == "pnav"))
    options.format = &FormatOfPath(options.operands[1]);
  return std::nullopt;
}

}  // namespace tessaly::cli
