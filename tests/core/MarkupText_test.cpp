// Texts in the map formats: escaped, and valid UTF-8 whatever comes in.
#include "core/MarkupText.h"

#include <gtest/gtest.h>

#include <string>

namespace tessaly {
namespace {

struct TextCase {
  std::string in, json, xml;
};

class MarkupTexts : public ::testing::TestWithParam<TextCase> {};

TEST_P(MarkupTexts, EscapedAndUtf8) {
  const TextCase& c = GetParam();
  std::string json, xml;
  AppendJsonString(json, c.in);
  AppendXmlText(xml, c.in);
  EXPECT_EQ(json, c.json);
  EXPECT_EQ(xml, c.xml);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, MarkupTexts,
    ::testing::Values(TextCase{"plain", "\"plain\"", "plain"},
                      TextCase{"a \"b\" \\ c", "\"a \\\"b\\\" \\\\ c\"", "a &quot;b&quot; \\ c"},
                      TextCase{"<&'>", "\"<&'>\"", "&lt;&amp;&apos;&gt;"},
                      TextCase{"tab\tline\nbell\x07", "\"tab\\u0009line\\u000abell\\u0007\"", "tab\tline\nbell "},
                      // UTF-8 stays; a Latin-1 or Windows-1252 byte becomes its
                      // Latin-1 character.
                      TextCase{"N\xc3\xa6s \xe2\x82\xac", "\"N\xc3\xa6s \xe2\x82\xac\"", "N\xc3\xa6s \xe2\x82\xac"},
                      TextCase{"Ca\xf1on 5\xb0", "\"Ca\xc3\xb1on 5\xc2\xb0\"", "Ca\xc3\xb1on 5\xc2\xb0"},
                      // Overlong forms, surrogates and cut sequences are not UTF-8.
                      TextCase{"\xc0\xaf", "\"\xc3\x80\xc2\xaf\"", "\xc3\x80\xc2\xaf"},
                      TextCase{"\xed\xa0\x80", "\"\xc3\xad\xc2\xa0\xc2\x80\"", "\xc3\xad\xc2\xa0\xc2\x80"},
                      TextCase{"\xe2\x82", "\"\xc3\xa2\xc2\x82\"", "\xc3\xa2\xc2\x82"}));

}  // namespace
}  // namespace tessaly
