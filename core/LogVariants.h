// The live logging variants: one row per log format the program records,
// with everything that differs from one to another as data - the header
// sentence, the parser's kind and deviation digits, the file extension and
// save-dialog filter, the grid layout with the grid column of each field,
// the comment column and whether the raw view highlights the record syntax.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "core/GridLayout.h"
#include "core/untTSample.h"

namespace tessaly {

enum class LogVariantId : std::uint8_t { KV7100, ZpxKV, ZpxBT, Rt4Basic, Rt4KvComp, Other };

// The fields of a grid row, in this order; a layout's column list gives the
// grid column of each, position by position (a list shorter than this leaves
// the later fields out).
enum RowField : std::size_t {
  kFieldRowNumber,
  kFieldTime,
  kFieldDev,
  kFieldLatDeg,
  kFieldLatMin,
  kFieldLatHemi,
  kFieldLonDeg,
  kFieldLonMin,
  kFieldLonHemi,
  kFieldTowDepth,
  kFieldSounder,
  kRowFieldCount,
};

struct LogVariant {
  LogVariantId id;
  std::string_view className;
  std::string_view actionName;  // the main window's command that opens it
  std::string_view header;      // empty: unframed (raw capture)
  TSampleKind kind;
  std::int32_t devDigits;
  std::string_view extension;   // default extension, as written
  std::string_view filter;      // "Description (*.ext)|*.ext"
  GridLayout layout;            // empty for the raw capture
  std::span<const std::size_t> columns;  // grid column of each RowField
  std::size_t commentColumn;
  bool highlightRaw;
  bool positions;               // its records carry the towfish's position
};

// The most columns a variant's grid has.
inline constexpr std::size_t kMaxVariantColumns = 13;
using VariantRow = std::array<std::string_view, kMaxVariantColumns>;

// A record's whole grid row (RecordRow) as the variant's grid shows it: each
// field at the variant's column, the rest empty.
VariantRow VariantCells(const LogVariant& variant, const GridRowTexts& row);

const std::array<LogVariant, 6>& LogVariants();
const LogVariant& FindLogVariant(LogVariantId id);

// The grid column whose integer decides a row's colours ("Dev").
inline constexpr std::size_t kLiveColourColumn = 2;

// The raw view's colouring of the instrument records (0xRRGGBB).
struct HighlightRules {
  struct Word {
    std::string_view text;
    std::uint32_t rgb;
  };
  struct Span {
    char open, close;
    std::uint32_t rgb;
  };
  std::span<const Word> words;          // letters match whole words, other texts anywhere
  std::span<const Span> spans;          // from `open` to the next `close`, both included
  std::span<const std::string_view> keywords;  // marked, in the text's own colour
};
const HighlightRules& RecordHighlighting();

// How one run of a line is shown.
struct HighlightRun {
  std::size_t start, length;
  std::uint32_t rgb;   // kNoColour: the view's text colour
  bool keyword;
};
inline constexpr std::uint32_t kNoColour = 0xFFFFFFFFu;

// The runs of a line under the rules, covering it from start to end in
// order. Spans take precedence over words; keywords keep their colour.
std::vector<HighlightRun> HighlightLine(std::string_view line, const HighlightRules& rules);

}  // namespace tessaly
