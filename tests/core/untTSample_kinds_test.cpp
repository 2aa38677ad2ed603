// Set-up, split and rearrangement of every kind of log.
#include <gtest/gtest.h>

#include <string>

#include "support/SampleSetUp.h"

namespace tessaly::test {
namespace {

std::string KvgFixedLine(const std::string& record) {
  return std::string(25, ' ') + "*" + std::string(24, ' ') + record;
}

TEST(SampleSetUp, KvlColumnsFollowTheInstrumentsOrder) {
  auto s = MakeSample(skKVL);
  EXPECT_EQ(s->FFieldSet, 0x3FF);
  const std::array<std::int32_t, 10> expected{0, 1, 5, 6, 7, 2, 3, 4, 8, 7};
  for (std::size_t id = 0; id < expected.size(); ++id) EXPECT_EQ(s->FColumns[id], expected[id]) << id;
  EXPECT_EQ(s->FNextColumn, 9);
  EXPECT_TRUE(s->FHeading.empty());
}

TEST(SampleSetUp, KvsAndKvgNameTheirHeadingAndEndMarker) {
  auto kvs = MakeSample(skKVS);
  EXPECT_EQ(kvs->FHeading, "Dev    lat        long");
  EXPECT_EQ(kvs->FEndMarker, "** End of data set **");
  EXPECT_EQ(kvs->FColumns[sfSounder], 3);
  EXPECT_EQ(kvs->FColumns[sfTowDepth], 7);
  EXPECT_FALSE(kvs->HasField(sfHeader));
  auto kvg = MakeSample(skKVG);
  EXPECT_EQ(kvg->FHeading, "Dev");
  EXPECT_EQ(kvg->FEndMarker, "** End of data set **");
  EXPECT_EQ(kvg->FColumns[sfDev], 6);
  EXPECT_EQ(kvg->FColumns[sfLatHemi], 5);
  EXPECT_FALSE(kvg->HasField(sfTowDepth));
}

TEST(SampleSetUp, AddFieldCountsColumnsOnlyWhenNoneIsGiven) {
  TSample s('.');
  s.AddField(sfDev);
  s.AddField(sfNavTime, 7);
  s.AddField(sfMark);
  s.AddField(sfNavAux);
  EXPECT_EQ(s.FColumns[sfDev], 0);
  EXPECT_EQ(s.FColumns[sfNavTime], 7);
  EXPECT_EQ(s.FColumns[sfNavAux], 2);  // the mark took column 1 without a slot
  EXPECT_TRUE(s.HasField(sfMark));
  EXPECT_EQ(s.FNextColumn, 3);
  s.AddField(40);
  EXPECT_EQ(s.FFieldSet, (1u << sfDev) | (1u << sfNavTime) | (1u << sfMark) | (1u << sfNavAux));
}

TEST(SampleSetUp, ConstructorTakesTheGivenSeparatorAndWgs84) {
  TSample s(',');
  EXPECT_EQ(s.FDecimalSeparator, ',');
  EXPECT_EQ(s.FMapDatum, 22);
  EXPECT_EQ(s.FKind, 0);
  EXPECT_EQ(s.FFieldSet, 0);
  EXPECT_EQ(s.FPnav.FOwner, &s);
}

TEST(SampleKinds, KvlCutsDegreesFromTheNmeaColumnsAndConverts) {
  auto s = MakeSample(skKVL);
  ASSERT_EQ(s->Parse("$KVMGD,+00042,4418.000,N,06318.000,W,25.3,78.4"), 0) << s->FErrorText;
  EXPECT_EQ(s->FHeaderText, "$KVMGD");
  EXPECT_EQ(s->FDev, "+00042");
  EXPECT_EQ(s->FLatDeg, "44");
  EXPECT_EQ(s->FLatMin, "18.000");
  EXPECT_EQ(s->FLatHemi, "N");
  EXPECT_EQ(s->FLonDeg, "063");
  EXPECT_EQ(s->FLonMin, "18.000");
  EXPECT_EQ(s->FLonHemi, "W");
  EXPECT_EQ(s->FTowDepth, "25.3");
  EXPECT_EQ(s->FSounder, "78.4");
  EXPECT_EQ(s->FTfDecLat, "+44.30000");
  EXPECT_EQ(s->FTfDecLon, "-63.30000");
  EXPECT_EQ(s->FTfZone, "20 T");
  EXPECT_EQ(s->FRawLine, "$KVMGD,+00042,4418.000,N,06318.000,W,25.3,78.4");
}

TEST(SampleKinds, KvsReadsThePositionTextByCharacter) {
  auto s = MakeSample(skKVS);
  ASSERT_EQ(s->Parse("-00007,45 12.345N 063 30.000W,25.3,78.4"), 0) << s->FErrorText;
  EXPECT_EQ(s->FDev, "-00007");
  EXPECT_EQ(s->FLatDeg, "45");
  EXPECT_EQ(s->FLatMin, "12.345");
  EXPECT_EQ(s->FLatHemi, "N");
  EXPECT_EQ(s->FLonDeg, "063");
  EXPECT_EQ(s->FLonMin, "30.000");
  EXPECT_EQ(s->FLonHemi, "W");
  EXPECT_EQ(s->FTowDepth, "25.3");
  EXPECT_EQ(s->FSounder, "78.4");
  EXPECT_EQ(s->FTfDecLat, "+45.20575");
  EXPECT_EQ(s->FTfDecLon, "-63.50000");
  EXPECT_EQ(s->FTfZone, "20 T");
}

TEST(SampleKinds, KvgFixedFormReadsCharacterPositions) {
  auto s = MakeSample(skKVG);
  ASSERT_EQ(s->Parse(KvgFixedLine("+00011 44 17.968N 063 18.000W")), 0) << s->FErrorText;
  EXPECT_EQ(s->FDev, "+00011");
  EXPECT_EQ(s->FLatDeg, "44");
  EXPECT_EQ(s->FLatMin, "17.968");
  EXPECT_EQ(s->FLatHemi, "N");
  EXPECT_EQ(s->FLonDeg, "063");
  EXPECT_EQ(s->FLonMin, "18.000");
  EXPECT_EQ(s->FLonHemi, "W");
  EXPECT_EQ(s->FTfDecLat, "+44.29946");
}

TEST(SampleKinds, KvgWithFewerThanFiveCommasIsReadByPosition) {
  auto s = MakeSample(skKVG);
  std::string line = KvgFixedLine("+00011 44 17.968N 063 18.000W");
  line[3] = ',';
  line[9] = ',';
  ASSERT_EQ(s->Parse(line), 0) << s->FErrorText;
  EXPECT_EQ(s->FDev, "+00011");
  EXPECT_EQ(s->FLonDeg, "063");
}

TEST(SampleKinds, KvgCommaFormReadsColumns) {
  auto s = MakeSample(skKVG);
  ASSERT_EQ(s->Parse("44,17.968N,063,18.000W,+00013"), 0) << s->FErrorText;
  EXPECT_EQ(s->FDev, "+00013");
  EXPECT_EQ(s->FLatDeg, "44");
  EXPECT_EQ(s->FLatMin, "17.968");
  EXPECT_EQ(s->FLatHemi, "N");
  EXPECT_EQ(s->FLonDeg, "063");
  EXPECT_EQ(s->FLonMin, "18.000");
  EXPECT_EQ(s->FLonHemi, "W");
  EXPECT_EQ(s->FTfDecLon, "-63.30000");
}

TEST(SampleKinds, RtcTakesEveryColumnAsItIsAndDerivesNothing) {
  auto s = MakeSample(skRTC);
  ASSERT_EQ(s->Parse("$KVMGD,+00042,063,18.000,W,44,17.968,N,054.5,076.5"), 0) << s->FErrorText;
  EXPECT_EQ(s->FLonDeg, "063");
  EXPECT_EQ(s->FLonMin, "18.000");
  EXPECT_EQ(s->FLonHemi, "W");
  EXPECT_EQ(s->FLatDeg, "44");
  EXPECT_EQ(s->FLatMin, "17.968");
  EXPECT_EQ(s->FLatHemi, "N");
  EXPECT_EQ(s->FTowDepth, "054.5");
  EXPECT_EQ(s->FSounder, "076.5");
  EXPECT_TRUE(s->FTfDecLat.empty());
  EXPECT_TRUE(s->FTfZone.empty());
}

TEST(SampleKinds, HeaderKindsReadHeaderAndDeviationOnly) {
  auto rtb = MakeSample(skRTB);
  rtb->FLatDeg = "kept";
  EXPECT_EQ(rtb->Parse("$MGD,+00042,52341.2,087"), 0);
  EXPECT_EQ(rtb->FDev, "+00042");
  EXPECT_EQ(rtb->FLatDeg, "kept");
  auto zpx = MakeSample(skZPX);
  EXPECT_EQ(zpx->Parse("$KVMGD,+00042"), 0);
  auto zpt = MakeSample(skZPT);
  EXPECT_EQ(zpt->Parse("$BTGFG,+0004,52341.2,087"), 0);
  EXPECT_EQ(zpt->FDev, "+0004");
}

TEST(SampleKinds, MissingColumnsReadAsEmpty) {
  auto s = MakeSample(skKVL);
  EXPECT_EQ(s->Parse("$KVMGD,+00042,4418.000,N,06318.000,W"), 0) << s->FErrorText;
  EXPECT_EQ(s->FTowDepth, "0");
  EXPECT_TRUE(s->FSounder.empty());
  EXPECT_EQ(s->TowDepthOrZero(), "0");
  EXPECT_EQ(s->SounderOrZero(), "0");
}

TEST(SampleKinds, EmptyLineIsRejectedAndRecorded) {
  auto s = MakeSample(skKVL);
  EXPECT_EQ(s->Parse(""), -1);
  EXPECT_EQ(s->FErrorText, "Empty Line");
  EXPECT_TRUE(s->FRawLine.empty());
}

TEST(SampleKinds, BinaryBytesAreOrdinaryCharacters) {
  auto s = MakeSample(skRTB);
  const std::string withNul = std::string("$MGD,+0") + '\0' + "042";
  EXPECT_EQ(s->Parse(withNul), -1);
  EXPECT_EQ(s->FErrorText, "Deviation is non-numeric");
  EXPECT_EQ(s->FRawLine, withNul);
  EXPECT_EQ(s->Parse(std::string(100000, '\xff')), -1);
  EXPECT_EQ(s->FErrorText, "Unrecognized Header");
}

TEST(SampleKinds, KindZeroAcceptsAnyLine) {
  TSample s('.');
  EXPECT_EQ(s.Parse("anything"), 0);
  EXPECT_EQ(s.FRawLine, "anything");
}

}  // namespace
}  // namespace tessaly::test
