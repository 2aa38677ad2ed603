// The record pipeline gives what a plain sequential Parse of every line
// gives, whatever the thread count and batch size.
#include <gtest/gtest.h>

#include <memory>

#include "core/LogDocument.h"
#include "core/LogKind.h"
#include "core/PnavImport.h"
#include "core/RawText.h"
#include "core/RecordPipeline.h"
#include "core/RecordExport.h"
#include "support/DocumentFiles.h"
#include "support/FileBytes.h"
#include "support/Generator.h"
#include "support/RawTextLines.h"
#include "support/TempHome.h"

namespace tessaly {
namespace {

using testing::TempHome;
using testing::ReadBytes;

// One outcome of the load loop, as text: the record's 28 cells or the
// rejected line's message and line number.
std::string Accepted(std::uint64_t sequence, std::string_view cells) {
  return "A " + std::to_string(sequence) + "|" + std::string(cells);
}
std::string Rejected(std::string_view message, std::uint64_t lineNumber) {
  return "R " + std::string(message) + "|" + std::to_string(lineNumber);
}

std::string JoinCells(const RecordCellTexts& cells) {
  std::string out;
  for (const std::string_view cell : cells) out.append(cell).append("\x1f");
  return out;
}

// The load loop written out plainly around TSample::Parse.
std::vector<std::string> SequentialOutcomes(TSample& sample, const RawText& raw) {
  std::vector<std::string> outcomes;
  std::size_t first = 0;
  if (!sample.FHeading.empty()) {
    first = raw.LineCount();
    for (std::size_t i = 0; i < raw.LineCount(); ++i)
      if (raw.Line(i).find(sample.FHeading) != std::string_view::npos) {
        first = i + 1;
        break;
      }
  }
  std::uint64_t sequence = 1;
  RecordScratch scratch;
  for (std::size_t i = first; i < raw.LineCount(); ++i) {
    const std::string_view line = raw.Line(i);
    if (!sample.FEndMarker.empty() && line.find(sample.FEndMarker) != std::string_view::npos) break;
    if (!line.empty()) {
      if (sample.Parse(line) == 0) {
        outcomes.push_back(Accepted(sequence, JoinCells(RecordCells(sample, i + 1, scratch))));
      } else {
        --sequence;
        outcomes.push_back(Rejected(sample.FErrorText, i + 1));
      }
    }
    ++sequence;
  }
  return outcomes;
}

// Writes the cells as JoinCells does, on the pipeline's workers.
class JoiningFormatter : public RecordFormatter {
 public:
  void Format(std::span<const std::string_view> cells, const RecordNumbers&, std::string& out) const override {
    EXPECT_EQ(cells.size(), kRecordColumnCount);
    for (const std::string_view cell : cells) out.append(cell).append("\x1f");
  }
};

class OutcomeSink : public RecordSink {
 public:
  explicit OutcomeSink(bool formatted = false) : formatted_(formatted) {}
  void Accepted(const AcceptedRecord& r) override {
    EXPECT_EQ(r.row, ++rows);
    EXPECT_EQ(r.ends.empty(), formatted_);
    outcomes.push_back(tessaly::Accepted(r.sequence, formatted_ ? std::string(r.cells) : JoinCells(SplitRecordCells(r))));
  }
  void Rejected(const RejectedLine& line) override {
    EXPECT_EQ(line.errorNumber, ++errors);
    outcomes.push_back(tessaly::Rejected(line.message, line.lineNumber));
  }
  std::vector<std::string> outcomes;
  std::uint64_t rows = 0, errors = 0;

 private:
  bool formatted_;
};

// A sample set up for the kind of a generated file.
std::unique_ptr<TSample> SetUpFor(const std::string& kind, const std::string& path) {
  if (kind.starts_with("pnav")) {
    PnavImport import;
    EXPECT_EQ(import.NewFile(path), "");
    EXPECT_EQ(import.AddLink("@0", "Dev"), "");
    EXPECT_EQ(import.AddLink("@1", "Towfish Depth"), "");
    EXPECT_EQ(import.AddLink("@2", "Sounder"), "");
    auto sample = LogDocument::NewNavigationSample();
    EXPECT_EQ(ApplyHandOver(*sample, import), "");
    return sample;
  }
  auto sample = std::make_unique<TSample>('.');
  const LogKindInfo* info = FindLogKind(UpperExtension("survey." + kind));
  EXPECT_NE(info, nullptr) << kind;
  if (info) {
    EXPECT_TRUE(SetUpSample(*sample, *info));
  }
  return sample;
}

class PipelineEquivalence : public ::testing::TestWithParam<std::string> {
 protected:
  // Generates a log of the kind (3,000 lines, 5 % faulty) at `path`.
  void SetUp() override {
    ASSERT_TRUE(testing::GenerateLog(testing::SurveyOptions(kind, 3000, 0.05, 5), path));
    raw.Assign(ReadBytes(path));
  }

  TempHome dir;
  const std::string kind = GetParam();
  const std::string path = dir.Path("survey." + kind);
  RawText raw;
};

TEST_P(PipelineEquivalence, MatchesSequentialParseForEveryThreadCountAndBatchSize) {
  const std::vector<std::string> expected = SequentialOutcomes(*SetUpFor(kind, path), raw);
  ASSERT_GT(expected.size(), 2000u);

  // Laid out as grid columns, or written by a formatter on the workers.
  const JoiningFormatter joining;
  for (const RecordFormatter* formatter : std::initializer_list<const RecordFormatter*>{nullptr, &joining}) {
    for (const unsigned threads : {1u, 2u, 3u}) {
      for (const std::size_t batch : {std::size_t{1}, std::size_t{17}, kDefaultBatchLines}) {
        const auto sample = SetUpFor(kind, path);
        testing::RawTextLines source(raw);
        OutcomeSink sink(formatter != nullptr);
        PipelineOptions options;
        options.threads = threads;
        options.batchLines = batch;
        options.formatter = formatter;
        RunRecordPipeline(*sample, source, sink, options);
        const std::string run = "threads " + std::to_string(threads) + " batch " + std::to_string(batch) +
                                (formatter ? " formatted" : "");
        ASSERT_EQ(sink.outcomes.size(), expected.size()) << run;
        for (std::size_t i = 0; i < expected.size(); ++i)
          ASSERT_EQ(sink.outcomes[i], expected[i]) << "outcome " << i << ", " << run;
      }
    }
  }
}

// Writes the record's numbers, reading its texts or not.
class NumbersFormatter : public RecordFormatter {
 public:
  explicit NumbersFormatter(bool cells) : cells_(cells) {}
  bool UsesCells() const override { return cells_; }
  void Format(std::span<const std::string_view> cells, const RecordNumbers& n, std::string& out) const override {
    EXPECT_EQ(cells.size(), cells_ ? kRecordColumnCount : 0u);
    char text[160];
    std::snprintf(text, sizeof text, "%.9f %.9f %.9f %.9f %g %g", n.towfish.latitude, n.towfish.longitude,
                  n.gps.latitude, n.gps.longitude, n.towDepth, n.sounder);
    out.append(text);
  }

 private:
  bool cells_;
};

// A reader of the numbers alone is spared the grid's texts (the UTM
// metres): every line is accepted or rejected as before, with the same
// numbers.
TEST_P(PipelineEquivalence, NumbersAreTheSameWithoutTheGridTexts) {
  std::vector<std::string> outcomes[2];
  for (const bool cells : {true, false}) {
    const NumbersFormatter numbers(cells);
    const auto sample = SetUpFor(kind, path);
    testing::RawTextLines source(raw);
    OutcomeSink sink(true);
    PipelineOptions options;
    options.threads = 2;
    options.formatter = &numbers;
    RunRecordPipeline(*sample, source, sink, options);
    outcomes[cells] = sink.outcomes;
  }
  ASSERT_GT(outcomes[true].size(), 2000u);
  EXPECT_EQ(outcomes[false], outcomes[true]);
}

INSTANTIATE_TEST_SUITE_P(EveryKind, PipelineEquivalence,
                         ::testing::Values("kvl", "kvs", "kvg", "zpx", "zpt", "rtb", "rtc", "pnav-plus", "pnav-p"));

TEST(Pipeline, ExportBytesDoNotDependOnThreadsOrBatchSize) {
  TempHome dir;
  const std::string path = dir.Path("big.kvl");
  ASSERT_TRUE(testing::GenerateLog(testing::SurveyOptions("kvl", 20000, 0.02, 3), path));
  std::string first;
  for (const unsigned threads : {1u, 2u, 4u}) {
    for (const std::size_t batch : {std::size_t{1}, std::size_t{64}, std::size_t{5000}}) {
      const auto sample = SetUpFor("kvl", path);
      StreamExportOptions options;
      options.threads = threads;
      options.batchLines = batch;
      const std::string out = dir.Path("out.vdg");
      TypeFileState state;
      AssignFileName(state, path, false);
      ASSERT_TRUE(ExportLogStreaming(*sample, state, CommentsStore(), out, *FindExportFormat("vdg"), options).ok);
      const std::string bytes = ReadBytes(out);
      if (first.empty()) first = bytes;
      ASSERT_EQ(bytes, first) << "threads " << threads << " batch " << batch;
    }
  }
  EXPECT_GT(std::count(first.begin(), first.end(), '\n'), 19000);
}

TEST(Pipeline, TheDataBlockEndsAtTheFirstEndMarkerLine) {
  RawText raw;
  raw.Assign("Dev    lat        long\r\n+00001,44 18.000N 063 18.000W,25.3,78.4\r\n"
             "** End of data set **\r\n+00002,44 18.000N 063 18.000W,25.3,78.4\r\n");
  TSample sample('.');
  ASSERT_TRUE(SetUpSample(sample, *FindLogKind(".KVS")));
  testing::RawTextLines source(raw);
  OutcomeSink sink;
  const PipelineResult result = RunRecordPipeline(sample, source, sink, {});
  EXPECT_TRUE(result.hasData);
  EXPECT_EQ(result.firstDataIndex, 1u);
  EXPECT_EQ(result.stopIndex, 2u);
  EXPECT_EQ(result.validCount, 1u);
  EXPECT_FALSE(result.cancelled);
}

}  // namespace
}  // namespace tessaly
