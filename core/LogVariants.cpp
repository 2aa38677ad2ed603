#include "core/LogVariants.h"

#include <cctype>

namespace tessaly {

namespace {

// The widest values the live grids show: digits drawn as zeros.
constexpr std::string_view kCount = "0000000";
constexpr std::string_view kReceptionTime = "00:00:00 UTC";  // the long time format
constexpr std::string_view kDeviation = "+00000";
constexpr std::string_view kLatDegrees = "00";
constexpr std::string_view kLonDegrees = "000";
constexpr std::string_view kMinutes = "00.00000";
constexpr std::string_view kHemisphere = "W";
constexpr std::string_view kDepth = "000.0";

constexpr std::array<GridColumnInfo, 13> kFullLayout = {{
    {"#", 40, kCount},
    {"Time", 70, kReceptionTime},
    {"Dev", 50, kDeviation},
    {"Lat", 30, kLatDegrees},
    {"Min ", 60, kMinutes},
    {"N/S ", 35, kHemisphere},
    {"Long", 30, kLonDegrees},
    {"Min", 60, kMinutes},
    {"E/W", 35, kHemisphere},
    {"Towfish Depth", 80, kDepth},
    {"", 1, {}},
    {"Sounder", 80, kDepth},
    {"Comment", 500, {}},
}};

constexpr std::array<GridColumnInfo, 12> kRt4KvLayout = {{
    kFullLayout[0], kFullLayout[1], kFullLayout[2], kFullLayout[3], kFullLayout[4], kFullLayout[5],
    kFullLayout[6], kFullLayout[7], kFullLayout[8], kFullLayout[9],
    {"Sounder", 70, kDepth},
    {"Comment", 500, {}},
}};

constexpr std::array<GridColumnInfo, 4> kShortLayout = {{
    kFullLayout[0], kFullLayout[1], kFullLayout[2],
    {"Comment", 500, {}},
}};

constexpr std::array<std::size_t, 11> kFullColumns = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 11};
constexpr std::array<std::size_t, 11> kRt4KvColumns = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
constexpr std::array<std::size_t, 3> kShortColumns = {0, 1, 2};

const std::array<LogVariant, 6> kVariants = {{
    {LogVariantId::KV7100, "TfrmFileLogKV7100", "actLogKv7100", "$KVMGD", skKVL, 5, "kvl",
     "Log KV7100 (*.kvl)|*.kvl", kFullLayout, kFullColumns, 12, false, true},
    {LogVariantId::ZpxKV, "TfrmFileLogZPXKV", "actLogZpxKV", "$KVMGD", skZPX, 5, "zpx",
     "Log ZEPH2 (*.zpx)|*.zpx", kShortLayout, kShortColumns, 3, true, false},
    {LogVariantId::ZpxBT, "TfrmFileLogZPXBT", "actLogZpxBT", "$BTGFG", skZPT, 4, "zpT",
     "Log ZEPH 2 (*.zpt)|*.zpt", kShortLayout, kShortColumns, 3, true, false},
    {LogVariantId::Rt4Basic, "TfrmFileLogRT4Basic", "actLogRt4Basic", "$MGD", skRTB, 5, "rtb",
     "RT4 Basic (*.rtb)|*.rtb", kShortLayout, kShortColumns, 3, true, false},
    {LogVariantId::Rt4KvComp, "TfrmFileLogRT4KvComp", "actLogRt4Kv", "$KVMGD", skRTC, 5, "rtc",
     "RT4 Kv Compability (*.rtc)|*.rtc", kRt4KvLayout, kRt4KvColumns, 11, true, true},
    {LogVariantId::Other, "TfrmFileLogOther", "actLogOther", "", skNone, 0, "oth", "Other (*.oth)|*.oth", {},
     {}, 0, false, false},
}};

// The grid column of the record row each RowField comes from.
constexpr std::array<std::size_t, kRowFieldCount> kFieldSource = {
    kColSequence, kColTime, kColDev, kColTfLatDeg, kColTfLatMin, kColTfLatHemi,
    kColTfLonDeg, kColTfLonMin, kColTfLonHemi, kColTfDepth, kColSounder};

constexpr std::uint32_t kBlue = 0x0000FF;
constexpr std::uint32_t kPurple = 0x802F88;
constexpr std::uint32_t kGreen = 0x008040;
constexpr std::uint32_t kBrown = 0x004080;
constexpr std::uint32_t kRed = 0xFF0000;

constexpr std::array<HighlightRules::Word, 8> kWords = {{
    {"N", kBlue}, {"S", kBlue}, {"L", kPurple}, {"W", kPurple}, {",", kGreen},
    {"+", kBrown}, {"-", kRed}, {"No. of entries:", kBlue},
}};
constexpr std::array<HighlightRules::Span, 2> kSpans = {{{'+', ',', kBlue}, {'-', ',', kRed}}};
constexpr std::array<std::string_view, 3> kKeywords = {"$KVMGD", "$BTGFG", "$MGD"};

bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }

// A word made of letters matches only where no letter or digit touches it.
bool WordAt(std::string_view line, std::size_t at, std::string_view word) {
  if (line.substr(at, word.size()) != word) return false;
  if (!IsWordChar(word.front())) return true;
  const bool openBefore = at == 0 || !IsWordChar(line[at - 1]);
  const std::size_t after = at + word.size();
  return openBefore && (after >= line.size() || !IsWordChar(line[after]));
}

struct CharStyle {
  std::uint32_t rgb = kNoColour;
  bool keyword = false;
  bool operator==(const CharStyle&) const = default;
};

void MarkKeywords(std::string_view line, std::span<const std::string_view> keywords, std::vector<CharStyle>& style) {
  for (const std::string_view keyword : keywords)
    for (std::size_t at = line.find(keyword); at != std::string_view::npos; at = line.find(keyword, at + 1))
      for (std::size_t i = at; i < at + keyword.size(); ++i) style[i].keyword = true;
}

void ColourWords(std::string_view line, std::span<const HighlightRules::Word> words, std::vector<CharStyle>& style) {
  for (std::size_t at = 0; at < line.size(); ++at) {
    for (const auto& word : words) {
      if (word.text.empty() || !WordAt(line, at, word.text)) continue;
      for (std::size_t i = at; i < at + word.text.size(); ++i) style[i].rgb = word.rgb;
      break;
    }
  }
}

void ColourSpans(std::string_view line, std::span<const HighlightRules::Span> spans, std::vector<CharStyle>& style) {
  for (std::size_t at = 0; at < line.size(); ++at) {
    for (const auto& span : spans) {
      if (line[at] != span.open) continue;
      const std::size_t close = line.find(span.close, at + 1);
      if (close == std::string_view::npos) break;
      for (std::size_t i = at; i <= close; ++i) style[i].rgb = span.rgb;
      at = close;
      break;
    }
  }
}

}  // namespace

const std::array<LogVariant, 6>& LogVariants() { return kVariants; }

const LogVariant& FindLogVariant(LogVariantId id) { return kVariants[static_cast<std::size_t>(id)]; }

VariantRow VariantCells(const LogVariant& variant, const GridRowTexts& row) {
  VariantRow cells{};
  for (std::size_t field = 0; field < variant.columns.size() && field < kRowFieldCount; ++field)
    if (variant.columns[field] < cells.size()) cells[variant.columns[field]] = row[kFieldSource[field]];
  return cells;
}

const HighlightRules& RecordHighlighting() {
  static const HighlightRules rules{kWords, kSpans, kKeywords};
  return rules;
}

std::vector<HighlightRun> HighlightLine(std::string_view line, const HighlightRules& rules) {
  std::vector<CharStyle> style(line.size());
  ColourWords(line, rules.words, style);
  ColourSpans(line, rules.spans, style);
  MarkKeywords(line, rules.keywords, style);
  for (CharStyle& s : style)
    if (s.keyword) s.rgb = kNoColour;
  std::vector<HighlightRun> runs;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (!runs.empty() && CharStyle{runs.back().rgb, runs.back().keyword} == style[i]) {
      ++runs.back().length;
      continue;
    }
    runs.push_back({i, 1, style[i].rgb, style[i].keyword});
  }
  return runs;
}

}  // namespace tessaly
