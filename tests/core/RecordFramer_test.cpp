#include "core/RecordFramer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tessaly {
namespace {

std::vector<std::string> FeedAll(RecordFramer& framer, const std::vector<std::string>& chunks) {
  std::vector<std::string> records;
  for (const auto& chunk : chunks) framer.Feed(chunk, [&](std::string_view r) { records.emplace_back(r); });
  return records;
}

using Records = std::vector<std::string>;

TEST(RecordFramer, HandsOutEachRecordAtItsLineBreakWithoutWaitingForTheNextHeader) {
  RecordFramer framer("$KVMGD");
  EXPECT_EQ(FeedAll(framer, {"$KVMGD,+00003,4417.968,N\r\n"}), Records{"$KVMGD,+00003,4417.968,N"});
  EXPECT_LE(framer.Pending(), 2u);  // the line break at most, dropped once a header comes
  EXPECT_EQ(FeedAll(framer, {"\n$KVMGD,-00009\r\n$KVMGD,+00001\r\n"}), (Records{"$KVMGD,-00009", "$KVMGD,+00001"}));
}

TEST(RecordFramer, EndsRecordsAtLfAloneOrALoneCr) {
  RecordFramer framer("$MGD");
  EXPECT_EQ(FeedAll(framer, {"$MGD,+1\n$MGD,+2\r$MGD,+3\n"}), (Records{"$MGD,+1", "$MGD,+2", "$MGD,+3"}));
}

TEST(RecordFramer, DropsTextOutsideRecords) {
  RecordFramer framer("$KVMGD");
  EXPECT_EQ(FeedAll(framer, {"noise $KV", "MGD,+1\r\n junk\x01\xff after $KVMG", "D,+2\r\n"}),
            (Records{"$KVMGD,+1", "$KVMGD,+2"}));
}

TEST(RecordFramer, FindsAHeaderSplitAcrossChunks) {
  RecordFramer framer("$BTGFG");
  EXPECT_EQ(FeedAll(framer, {"$", "B", "TG", "FG,+0001,5", "2341.2,075", "\r", "\n"}), Records{"$BTGFG,+0001,52341.2,075"});
}

TEST(RecordFramer, EndsARecordAtTheNextHeaderWhenNoLineBreakCameFirst) {
  RecordFramer framer("$KVMGD");
  EXPECT_EQ(FeedAll(framer, {"$KVMGD,+1$KVM", "GD,+2"}), Records{"$KVMGD,+1"});
  EXPECT_EQ(FeedAll(framer, {"\r\n"}), Records{"$KVMGD,+2"});
}

TEST(RecordFramer, ResetDropsOnlyTheIncompleteRecord) {
  RecordFramer framer("$KVMGD");
  EXPECT_EQ(FeedAll(framer, {"$KVMGD,+1\r\n$KVMGD,+2,half"}), Records{"$KVMGD,+1"});
  framer.Reset();
  EXPECT_EQ(framer.Pending(), 0u);
  EXPECT_EQ(FeedAll(framer, {"rest\r\n$KVMGD,+3\r\n"}), Records{"$KVMGD,+3"});
}

TEST(RecordFramer, HandsOutARunawayRecordAtTheSizeLimit) {
  RecordFramer framer("$KVMGD");
  const std::string noise(RecordFramer::kMaxRecordBytes, 'x');
  const Records records = FeedAll(framer, {"$KVMGD," + noise});
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].size(), noise.size() + 7);
  EXPECT_EQ(framer.Pending(), 0u);
}

TEST(RecordFramer, UnframedPassesEveryChunkOnAsItCame) {
  RecordFramer framer;
  EXPECT_FALSE(framer.Framed());
  EXPECT_EQ(FeedAll(framer, {"ab", "", "\r\nc"}), (Records{"ab", "\r\nc"}));
}

}  // namespace
}  // namespace tessaly
