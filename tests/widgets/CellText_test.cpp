#include "widgets/CellText.h"

#include <gtest/gtest.h>

#include <string>

namespace tessaly {
namespace {

TEST(CellText, Utf8BytesShowTheCharactersTheyEncode) {
  EXPECT_EQ(CellText("5 \xE2\x82\xAC ok"), QStringLiteral("5 € ok"));
  EXPECT_EQ(CellText("a\xC3\xA7\xC3\xA3o"), QStringLiteral("ação"));
  EXPECT_EQ(CellText("plain ASCII"), QStringLiteral("plain ASCII"));
}

TEST(CellText, BytesThatAreNotUtf8ShowAsLatin1) {
  EXPECT_EQ(CellText("caf\xE9"), QStringLiteral("café"));
  // A sequence cut short at the end is not UTF-8 either.
  EXPECT_EQ(CellText("caf\xC3"), QStringLiteral("caf\u00C3"));
  const std::string withNul("a\0\xFF", 3);
  EXPECT_EQ(CellText(withNul), QString(QChar(u'a')) + QChar(u'\0') + QChar(u'\u00FF'));
}

}  // namespace
}  // namespace tessaly
