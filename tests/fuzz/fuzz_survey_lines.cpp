// Survey lines and the line-cut exports: see FuzzTargets.h.
//
// Input: a set-up byte (line mode, ties, step scale), then records, each a
// flags byte (bit 0: a position, bit 1: a comment), a position's move in
// metres (two signed bytes, scaled), a comment's length byte and its bytes.
#include <algorithm>
#include <cmath>
#include <optional>
#include <cstdio>
#include <filesystem>
#include <regex>
#include <string>
#include <unistd.h>
#include <vector>

#include "core/CsvWriter.h"
#include "core/GeoJsonWriter.h"
#include "core/KmlWriter.h"
#include "core/OutputFile.h"
#include "core/SurveyExport.h"
#include "core/XyzWriter.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzTargets.h"
#include "support/FileBytes.h"

namespace tessaly::fuzz {

namespace {

constexpr std::size_t kMostRecords = 4000;

struct FuzzRecord {
  std::optional<PlanePoint> point;
  std::string comment;
};

// The marks by their rule, written independently of the reader: the first
// word, in any case, then nothing or a character that is no letter or digit.
std::optional<std::pair<bool, std::string>> MarkByRule(const std::string& comment) {
  static const std::regex mark("^[ \\t]*([Ss][Oo][Ll]|[Ee][Oo][Ll])([^A-Za-z0-9][\\s\\S]*)?$");
  static const std::regex name("^[ \\t:=#.,-]*([\\s\\S]*?)[ \\t]*$");
  std::smatch found;
  if (!std::regex_match(comment, found, mark)) return std::nullopt;
  const bool start = found[1].str()[0] == 'S' || found[1].str()[0] == 's';
  const std::string rest = found[2].str();
  std::smatch named;
  std::regex_match(rest, named, name);
  return std::make_pair(start, start ? named[1].str() : std::string());
}

// The marked lines by the rules of MarkLineFinder.
std::vector<SurveyLine> MarkedLinesByRule(const std::vector<FuzzRecord>& records) {
  std::vector<SurveyLine> lines;  // the last one still open while `open`
  bool open = false;
  for (std::uint64_t i = 0; i < records.size(); ++i) {
    const auto mark = MarkByRule(records[i].comment);
    if (!mark) continue;
    const bool start = mark->first;
    if (open) lines.back().last = start ? i - 1 : i;
    open = start;
    if (start) lines.push_back(SurveyLine{i, i, mark->second});
  }
  if (open) lines.back().last = records.size() - 1;
  return lines;
}

bool ValidUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    const std::size_t length = c < 0x80 ? 1 : c >= 0xC2 && c < 0xE0 ? 2 : c >= 0xE0 && c < 0xF0 ? 3 : c >= 0xF0 && c < 0xF5 ? 4 : 0;
    if (length == 0 || i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    i += length;
  }
  return true;
}

std::string Export(const std::vector<SurveyRecord>& records, ExportWriter& writer, const SurveyExportOptions& options,
                   bool& ok) {
  static const std::string path =
      (std::filesystem::temp_directory_path() / ("tessaly-fuzz-survey-" + std::to_string(::getpid()))).string();
  SurveyExport exporter({"fuzz.kvl", "KV7100 Log", "WGS 84", {}, {}, {}}, options);
  for (const SurveyRecord& record : records) exporter.Add(record);
  OutputFile out;
  ok = out.Open(path, OutputFile::Mode::Replace) && exporter.Write(writer, out) && out.Close();
  std::string bytes = ok ? testing::ReadBytes(path) : std::string();
  std::remove(path.c_str());
  return bytes;
}

void CheckLines(const std::vector<SurveyLine>& lines, std::size_t count) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    Require(lines[i].first <= lines[i].last && lines[i].last < count, "a line lies within the records");
    if (i > 0) Require(lines[i - 1].last < lines[i].first, "lines come in order without overlapping");
  }
}

}  // namespace

int FuzzSurveyLines(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  const std::uint8_t setup = input.Byte();
  const LineMode mode = static_cast<LineMode>(setup % 3);
  SurveyExportOptions options;
  options.lines = mode;
  options.ties = (setup & 4) != 0;
  const double scale = 0.25 * (1 << ((setup >> 3) & 7));

  std::vector<FuzzRecord> records;
  PlanePoint at{0, 0};
  while (!input.Empty() && records.size() < kMostRecords) {
    const std::uint8_t flags = input.Byte();
    FuzzRecord record;
    if (flags & 1) {
      at.x += static_cast<std::int8_t>(input.Byte()) * scale;
      at.y += static_cast<std::int8_t>(input.Byte()) * scale;
      record.point = at;
    }
    if (flags & 2) record.comment = std::string(input.Take(input.Byte() % 64));
    records.push_back(std::move(record));
  }

  SurveyLineFinder finder(mode);
  for (const FuzzRecord& record : records) finder.Add(record.point, record.comment);
  const std::vector<SurveyLine> lines = finder.Finish();
  CheckLines(lines, records.size());
  if (mode == LineMode::None) Require(lines.empty(), "no lines without line finding");
  if (finder.UsedMarks())
    Require(lines == MarkedLinesByRule(records), "the marked lines are those the SOL and EOL rules give");

  // The exports place records at latitudes and longitudes around 44 N 63 W.
  std::vector<SurveyRecord> exported(records.size());
  for (std::size_t i = 0; i < records.size(); ++i) {
    exported[i].deviation = static_cast<double>(i % 7) - 3;
    exported[i].comment = records[i].comment;
    if (!records[i].point) continue;
    exported[i].latitude = std::clamp(44.0 + records[i].point->y / 111'000.0, -80.0, 80.0);
    exported[i].longitude = std::clamp(-63.0 + records[i].point->x / 80'000.0, -180.0, 180.0);
  }
  bool ok = false;
  CsvWriter csv;
  const std::string table = Export(exported, csv, options, ok);
  Require(ok, "the CSV is written");
  std::size_t rows = 0;
  bool quoted = false;
  for (std::size_t i = 0; i < table.size(); ++i) {
    if (table[i] == '"') quoted = !quoted;
    else if (!quoted && table[i] == '\r' && i + 1 < table.size() && table[i + 1] == '\n') ++rows;
  }
  Require(rows == records.size() + 2, "the CSV has a row a record after its two header rows");

  XyzWriter xyz;
  const std::string blocks = Export(exported, xyz, options, ok);
  Require(ok, "the XYZ is written");
  std::size_t start = 0, columns = 0;
  for (std::size_t end; (end = blocks.find("\r\n", start)) != std::string::npos; start = end + 2) {
    const std::string_view line(blocks.data() + start, end - start);
    std::size_t words = 0;
    for (std::size_t k = 0; k < line.size(); ++k)
      if (line[k] != ' ' && (k == 0 || line[k - 1] == ' ')) ++words;
    if (line.rfind("/ ", 0) == 0 || line == "/") columns = words - 1;
    else if (line.rfind("Line ", 0) != 0 && line.rfind("Tie ", 0) != 0)
      Require(words == columns, "an XYZ data line has a value a channel", line);
  }
  Require(start == blocks.size(), "every XYZ line ends with CR LF");

  GeoJsonWriter geojson;
  KmlWriter kml;
  for (ExportWriter* map : {static_cast<ExportWriter*>(&geojson), static_cast<ExportWriter*>(&kml)}) {
    const std::string text = Export(exported, *map, options, ok);
    const bool positioned = std::any_of(records.begin(), records.end(), [](const auto& r) { return r.point; });
    Require(ok == positioned, "a map is written exactly when a record has a position");
    Require(ValidUtf8(text), "a map is UTF-8", text);
  }
  return 0;
}

}  // namespace tessaly::fuzz
