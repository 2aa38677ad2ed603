#include "core/TextReplace.h"

#include <gtest/gtest.h>

namespace tessaly {
namespace {

TEST(ReplaceAllText, RemovesEveryAmpersandAlsoTwoInARow) {
  EXPECT_EQ(ReplaceAllText("&&File &Open&", "&", ""), "File Open");
}

TEST(ReplaceAllText, IgnoresLetterCase) {
  EXPECT_EQ(ReplaceAllText("Log.KVS and log.kvs", "LOG.kvs", "x"), "x and x");
}

TEST(ReplaceAllText, DoesNotRescanInsertedText) {
  EXPECT_EQ(ReplaceAllText("aaa", "a", "aa"), "aaaaaa");
  EXPECT_EQ(ReplaceAllText("abab", "ab", "b"), "bb");
}

TEST(ReplaceAllText, ScansLeftToRightWithoutOverlap) {
  EXPECT_EQ(ReplaceAllText("aaaa", "aa", "b"), "bb");
  EXPECT_EQ(ReplaceAllText("aaa", "aa", "b"), "ba");
}

TEST(ReplaceAllText, EmptyOldTextOrNoMatchLeavesTextUnchanged) {
  EXPECT_EQ(ReplaceAllText("text", "", "x"), "text");
  EXPECT_EQ(ReplaceAllText("text", "q", "x"), "text");
  EXPECT_EQ(ReplaceAllText("", "a", "x"), "");
}

TEST(ReplaceAllText, ComparesNonAsciiBytesExactly) {
  EXPECT_EQ(ReplaceAllText("É é", "é", "e"), "É e");
}

}  // namespace
}  // namespace tessaly
