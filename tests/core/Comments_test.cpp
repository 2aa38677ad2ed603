#include "core/Comments.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "support/FileSizeLimit.h"
#include "support/TempHome.h"

namespace tessaly {
namespace {

class CommentsTest : public ::testing::Test {
 protected:
  std::string PathOf(const std::string& name) const { return dir_.Home() + name; }

  std::string Write(const std::string& name, const std::string& bytes) {
    std::ofstream(PathOf(name), std::ios::binary) << bytes;
    return PathOf(name);
  }

  std::string Read(const std::string& name) const {
    std::ifstream in(PathOf(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  std::size_t FilesInFolder() const {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir_.Home()), {}));
  }

  testing::TempHome dir_;
  CommentsStore store_;
};

std::string CommentText(const CommentsStore& store, std::int64_t row) {
  const auto comment = store.CommentOf(row);
  return comment ? std::string(*comment) : "<none>";
}

// --- Loading and looking up ------------------------------------------------

TEST_F(CommentsTest, MissingFileIsAnEmptyList) {
  EXPECT_EQ(store_.Load(PathOf("none.cmt")), "");
  EXPECT_TRUE(store_.Lines().empty());
  EXPECT_EQ(CommentText(store_, 1), "<none>");
}

TEST_F(CommentsTest, ReadsLinesEndedByAnyLineBreak) {
  ASSERT_EQ(store_.Load(Write("a.cmt", "1=one\r\n2=two\n3=three\r4=four")), "");
  EXPECT_EQ(store_.Lines().size(), 4u);
  EXPECT_EQ(CommentText(store_, 1), "one");
  EXPECT_EQ(CommentText(store_, 2), "two");
  EXPECT_EQ(CommentText(store_, 3), "three");
  EXPECT_EQ(CommentText(store_, 4), "four");
}

TEST_F(CommentsTest, RowIsTheNameBeforeTheFirstEqualsSign) {
  store_.Load(Write("a.cmt", "7=a=b\r\n7=second\r\n05=padded\r\n6\r\n=x\r\n 8=blank\r\n"));
  EXPECT_EQ(CommentText(store_, 7), "a=b");  // the first line of a row wins
  EXPECT_EQ(CommentText(store_, 5), "<none>");
  EXPECT_EQ(CommentText(store_, 6), "<none>");
  EXPECT_EQ(CommentText(store_, 8), "<none>");
}

TEST_F(CommentsTest, UnreadableCommentsFileIsReported) {
  std::filesystem::create_directory(PathOf("dir.cmt"));
  EXPECT_NE(store_.Load(PathOf("dir.cmt")), "");
  EXPECT_TRUE(store_.Lines().empty());
}

// --- Editing ---------------------------------------------------------------

TEST_F(CommentsTest, EmptyCommentIsStoredAndFoundAgain) {
  store_.SetComment(5, "");
  EXPECT_EQ(store_.Lines(), std::vector<std::string>{"5="});
  EXPECT_EQ(CommentText(store_, 5), "");
}

TEST_F(CommentsTest, NewCommentIsAppendedAndAnExistingOneReplacedInPlace) {
  store_.Load(Write("a.cmt", "3=three\r\n9=nine\r\n"));
  store_.SetComment(12, "twelve");
  store_.SetComment(3, "drop at 3");
  EXPECT_EQ(store_.Lines(), (std::vector<std::string>{"3=drop at 3", "9=nine", "12=twelve"}));
  EXPECT_EQ(CommentText(store_, 3), "drop at 3");
  EXPECT_EQ(CommentText(store_, 12), "twelve");
}

TEST_F(CommentsTest, LineBreaksInACommentCannotSplitItsLine) {
  store_.SetComment(2, "two\r\nlines");
  EXPECT_EQ(store_.Lines(), std::vector<std::string>{"2=two  lines"});
}

TEST_F(CommentsTest, ManyRowsAreAllFound) {
  for (std::int64_t row = 1; row <= 100000; ++row) store_.SetComment(row, std::to_string(row * 3));
  store_.SetComment(50000, "changed");
  EXPECT_EQ(CommentText(store_, 1), "3");
  EXPECT_EQ(CommentText(store_, 50000), "changed");
  EXPECT_EQ(CommentText(store_, 100000), "300000");
  EXPECT_EQ(CommentText(store_, 100001), "<none>");
}

// --- Saving ----------------------------------------------------------------

TEST_F(CommentsTest, SaveWritesEveryLineWithCrLfAndLoadsBack) {
  store_.Load(Write("a.cmt", "1=one\n2=two"));
  store_.SetComment(5, "");
  ASSERT_EQ(store_.Save(PathOf("a.cmt"), PathOf("a.KVL")), "");
  EXPECT_EQ(Read("a.cmt"), "1=one\r\n2=two\r\n5=\r\n");
  CommentsStore again;
  again.Load(PathOf("a.cmt"));
  EXPECT_EQ(CommentText(again, 5), "");
  EXPECT_EQ(CommentText(again, 2), "two");
  EXPECT_EQ(FilesInFolder(), 2u);  // Lib/ and a.cmt: no temporary file left
}

TEST_F(CommentsTest, SaveRefusesAMissingCommentsFileName) {
  store_.SetComment(1, "x");
  EXPECT_NE(store_.Save("", PathOf("a.KVL")), "");
}

TEST_F(CommentsTest, SaveNeverWritesOverTheLog) {
  const std::string log = Write("a.cmt", "$KVMGD,+01234\r\n");
  store_.SetComment(1, "x");
  EXPECT_NE(store_.Save(log, log), "");
  EXPECT_NE(store_.Save(dir_.Home() + "./a.cmt", log), "");  // the same file by another name
  EXPECT_EQ(Read("a.cmt"), "$KVMGD,+01234\r\n");
}

TEST_F(CommentsTest, SaveIntoAMissingFolderFailsWithAMessage) {
  store_.SetComment(1, "x");
  EXPECT_NE(store_.Save(PathOf("nowhere/a.cmt"), PathOf("a.KVL")), "");
}

TEST_F(CommentsTest, FailedSaveLeavesTheOldFileIntact) {
  const std::string old = "1=keep me\r\n2=and me\r\n";
  store_.Load(Write("a.cmt", old));
  store_.SetComment(3, std::string(64 * 1024, 'c'));
  std::string error;
  {
    testing::FileSizeLimit limit(4096);
    error = store_.Save(PathOf("a.cmt"), PathOf("a.KVL"));
  }
  EXPECT_NE(error, "");
  EXPECT_EQ(Read("a.cmt"), old);
  EXPECT_EQ(FilesInFolder(), 2u);  // the partial temporary file is gone
}

}  // namespace
}  // namespace tessaly
