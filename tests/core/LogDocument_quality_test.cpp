// The quality flags of an opened log: judged at the load for the instrument
// of its kind, read through the record source, judged again with other
// thresholds.
#include <gtest/gtest.h>

#include <vector>

#include "core/LogDocument.h"
#include "support/DocumentFiles.h"
#include "support/FileBytes.h"
#include "support/TempHome.h"

namespace tessaly::document_quality_test {

using testing::CrLfLines;
using testing::KvlLine;

// 21 KVL records of deviation 0 at 3 m, but: record 4 at 0.5 m (above the
// 1 m minimum), record 6 without a depth, record 10 a deviation of 300.
std::vector<std::string> KvlRecords() {
  std::vector<std::string> lines;
  for (int i = 0; i < 21; ++i)
    lines.push_back(KvlLine(i == 10 ? "+00300" : "+00000", i == 4 ? "0.5" : i == 6 ? "" : "3.0"));
  return lines;
}

std::vector<std::string> Records(const std::string& header, const std::string& zero, const std::string& spike) {
  std::vector<std::string> lines;
  for (int i = 0; i < 21; ++i) lines.push_back(header + "," + (i == 10 ? spike : zero) + ",52341.2,087");
  return lines;
}

LogDocument Open(const testing::TempHome& home, const std::string& name, const std::vector<std::string>& lines,
                 const AlarmSettings& alarms = {}) {
  const std::string path = home.Path(name);
  testing::WriteBytes(path, CrLfLines(lines));
  LoadOptions options;
  options.threads = 2;
  options.batchLines = 4;
  options.alarms = alarms;
  LogDocument doc;
  EXPECT_EQ(doc.OpenLog(path, options), LoadStatus::Loaded) << name;
  return doc;
}

TEST(DocumentQuality, FlagsTheDeviationsAndDepthsOfTheRecords) {
  testing::TempHome home;
  LogDocument doc = Open(home, "line.KVL", KvlRecords());
  const std::vector<QualityFinding> expected = {{4, kFlagDepth, 0.5}, {10, kFlagSpike, 300.0}};
  EXPECT_EQ(doc.QualityFindings(), expected);
  const RecordSource& source = doc;
  const std::span<const std::uint8_t> flags = source.QualityFlags();
  ASSERT_EQ(flags.size(), 21u);
  for (std::size_t i = 0; i < flags.size(); ++i)
    EXPECT_EQ(flags[i], i == 4 ? kFlagDepth : i == 10 ? kFlagSpike : 0) << i;
}

TEST(DocumentQuality, JudgedAgainWithOtherThresholds) {
  testing::TempHome home;
  LogDocument doc = Open(home, "line.KVL", KvlRecords());
  AlarmSettings alarms;
  alarms.spikeFloorKv7100 = 400;
  alarms.noiseEnvelopeKv7100 = 200;
  alarms.depthMin = 0.0;
  doc.Requalify(alarms);
  EXPECT_TRUE(doc.QualityFindings().empty());
  EXPECT_EQ(doc.QualityFlags()[10], 0);
}

// A deviation of 10 is a spike for the ZEPH 2 in BT format (tenths of the KV
// format's counts), not for the ZEPH 2 in KV format.
TEST(DocumentQuality, EachInstrumentOnItsOwnScale) {
  testing::TempHome home;
  const LogDocument bt = Open(home, "line.zpt", Records("$BTGFG", "+0000", "+0010"));
  const LogDocument kv = Open(home, "line.zpx", Records("$KVMGD", "+00000", "+00010"));
  EXPECT_EQ(bt.QualityFindings(), (std::vector<QualityFinding>{{10, kFlagSpike, 10.0}}));
  EXPECT_TRUE(kv.QualityFindings().empty());
}

}  // namespace tessaly::document_quality_test
