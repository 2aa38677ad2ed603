#include "core/LogVariants.h"

#include <gtest/gtest.h>

#include <string>

namespace tessaly {
namespace {

TEST(LogVariants, EachVariantCarriesItsHeaderKindDigitsExtensionAndCommentColumn) {
  const auto& kv = FindLogVariant(LogVariantId::KV7100);
  EXPECT_EQ(kv.header, "$KVMGD");
  EXPECT_EQ(kv.kind, skKVL);
  EXPECT_EQ(kv.layout.size(), 13u);
  EXPECT_EQ(kv.commentColumn, 12u);
  EXPECT_EQ(kv.columns[kFieldSounder], 11u);  // column 10 stays empty
  EXPECT_EQ(kv.layout[10].minWidth, 1);
  const auto& bt = FindLogVariant(LogVariantId::ZpxBT);
  EXPECT_EQ(bt.devDigits, 4);
  EXPECT_EQ(bt.extension, "zpT");
  EXPECT_EQ(bt.filter, "Log ZEPH 2 (*.zpt)|*.zpt");
  const auto& rtc = FindLogVariant(LogVariantId::Rt4KvComp);
  EXPECT_EQ(rtc.layout.size(), 12u);
  EXPECT_EQ(rtc.columns[kFieldSounder], 10u);
  EXPECT_EQ(rtc.commentColumn, 11u);
  EXPECT_EQ(FindLogVariant(LogVariantId::Rt4Basic).header, "$MGD");
  const auto& other = FindLogVariant(LogVariantId::Other);
  EXPECT_TRUE(other.header.empty());
  EXPECT_EQ(other.extension, "oth");
  for (const auto& v : LogVariants()) {
    EXPECT_EQ(&FindLogVariant(v.id), &v);
    if (v.id == LogVariantId::Other) continue;
    EXPECT_EQ(v.devDigits, v.id == LogVariantId::ZpxBT ? 4 : 5) << v.className;
    EXPECT_EQ(v.layout[v.commentColumn].caption, "Comment") << v.className;
    EXPECT_EQ(v.highlightRaw, v.id != LogVariantId::KV7100) << v.className;
  }
}

TEST(LogVariants, ShortLayoutHoldsNumberTimeDevAndComment) {
  const auto& zpx = FindLogVariant(LogVariantId::ZpxKV);
  ASSERT_EQ(zpx.layout.size(), 4u);
  EXPECT_EQ(zpx.layout[0].caption, "#");
  EXPECT_EQ(zpx.layout[1].caption, "Time");
  EXPECT_EQ(zpx.layout[2].caption, "Dev");
  EXPECT_EQ(zpx.columns.size(), 3u);
}

std::string Colours(std::string_view line) {
  // One letter a character: n none, k keyword, b blue, p purple, g green,
  // o brown, r red.
  std::string out(line.size(), '?');
  for (const auto& run : HighlightLine(line, RecordHighlighting())) {
    char c = run.keyword ? 'k' : 'n';
    switch (run.rgb) {
      case 0x0000FF: c = 'b'; break;
      case 0x802F88: c = 'p'; break;
      case 0x008040: c = 'g'; break;
      case 0x004080: c = 'o'; break;
      case 0xFF0000: c = 'r'; break;
      default: break;
    }
    for (std::size_t i = 0; i < run.length; ++i) out[run.start + i] = c;
  }
  return out;
}

TEST(RecordHighlighting, ColoursWordsSpansAndKeywords) {
  EXPECT_EQ(Colours("$KVMGD,+00003,44,N,063,W"), "kkkkkkgbbbbbbbnngbgnnngp");
  EXPECT_EQ(Colours("$MGD,-00008,NS"), "kkkkgrrrrrrrnn");
  EXPECT_EQ(Colours("No. of entries: 250"), "bbbbbbbbbbbbbbbnnnn");
  EXPECT_EQ(Colours("L+5"), "pon");  // a span needs its closing comma
}

}  // namespace
}  // namespace tessaly
