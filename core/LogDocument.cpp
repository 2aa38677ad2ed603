#include "core/LogDocument.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "core/CrLf.h"
#include "core/DeviationColours.h"
#include "core/MemoryAdvice.h"

namespace tessaly {

namespace {

constexpr std::string_view kLoadingFile = "Loading File ...";
constexpr std::string_view kLoadingData = "Loading data ...";
constexpr std::string_view kImportingData = "Importing data ...";

std::size_t DecimalDigits(std::uint64_t value) {
  std::size_t digits = 1;
  while (value >= 10) {
    value /= 10;
    ++digits;
  }
  return digits;
}

// Reports progress only when it has moved by a 256th of the way, or at the end.
// The maximum is the expected number of lines less one until the file is read.
class ProgressThrottle {
 public:
  ProgressThrottle(const ProgressFn& report, std::uint64_t maximum) : report_(report) { SetMaximum(maximum); }
  void SetMaximum(std::uint64_t maximum) {
    maximum_ = maximum;
    step_ = std::max<std::uint64_t>(1, maximum / 256);
  }
  void Update(std::uint64_t position) {
    if (!report_) return;
    position = std::min(position, maximum_);
    if (position < last_ + step_ && position != maximum_) return;
    if (position == last_ && reported_) return;
    last_ = position;
    reported_ = true;
    report_(position, maximum_);
  }

 private:
  const ProgressFn& report_;
  std::uint64_t maximum_;
  std::uint64_t step_;
  std::uint64_t last_ = 0;
  bool reported_ = false;
};

// Hands out the lines of the document's raw text, no copy, reading the file
// as the lines are needed: the records of the first pieces are parsed while
// the rest is read.
class RawLineSource : public LineSource {
 public:
  explicit RawLineSource(RawText& raw) : raw_(raw) {}
  bool Fill(std::vector<std::string_view>& lines, std::string&, std::size_t maxLines) override {
    while (raw_.LineCount() < next_ + maxLines && raw_.ReadMore()) {
    }
    const std::size_t end = std::min(raw_.LineCount(), next_ + maxLines);
    for (; next_ < end; ++next_) lines.push_back(raw_.Line(next_));
    return !lines.empty();
  }

 private:
  RawText& raw_;
  std::size_t next_ = 0;
};

// Puts accepted records into the grid and the chart, rejected lines into the
// error list. The cell arena is reserved from the sizes seen so far, so that
// it ends up close to the size it needs.
class GridSink : public RecordSink {
 public:
  // Rows are added in blocks (within the reservation); Open trims the rest.
  static constexpr std::uint64_t kRowsAtATime = 4096;

  GridSink(CellTable& grid, std::vector<double>& chart, std::vector<RecordNumbers>& numbers, std::string& errors,
           const CommentsStore& comments, const ViewSettings& view, const RawText& raw)
      : grid_(grid), chart_(chart), numbers_(numbers), errors_(errors), comments_(comments), view_(view), raw_(raw),
        captionBytes_(grid.TextBytes()) {
    rowText_.reserve(256);
  }

  void Accepted(const AcceptedRecord& r) override {
    char digits[24];
    const std::size_t seqLength =
        static_cast<std::size_t>(std::to_chars(digits, digits + sizeof digits, r.sequence).ptr - digits);
    const std::string_view comment =
        comments_.CommentOf(static_cast<std::int64_t>(r.row)).value_or(std::string_view());
    rowText_.assign(digits, seqLength).append(r.cells).append(comment);
    ends_[0] = static_cast<std::uint32_t>(seqLength);
    for (std::size_t c = 0; c < kRecordColumnCount; ++c)
      ends_[c + 1] = static_cast<std::uint32_t>(seqLength + r.ends[c]);
    ends_[kColComment] = static_cast<std::uint32_t>(rowText_.size());

    ReserveFor(r, rowText_.size(), seqLength + DecimalDigits(r.lineNumber));
    if (r.row >= grid_.Rows()) {
      const std::uint64_t block = std::min<std::uint64_t>(LineCount() + 1, r.row + kRowsAtATime);
      grid_.SetRows(std::max<std::uint64_t>(r.row + 1, block));
    }
    grid_.SetRowPacked(r.row, rowText_, ends_);
    const RowColours colours = DeviationColours(static_cast<std::int64_t>(r.row), r.deviation, view_);
    grid_.SetRowColor(r.row, colours.background);
    grid_.SetRowFontColor(r.row, colours.font);
    chart_.push_back(r.deviationValue);
    numbers_.push_back(*r.numbers);
  }

  void Rejected(const RejectedLine& line) override { AppendErrorEntry(errors_, line); }

 private:
  std::uint64_t LineCount() const { return raw_.ExpectedLineCount(); }

  // A record's texts are short, but for a navigation time column of any
  // length: the estimate takes at most this much a record from the rows so
  // far, so that a long first record does not reserve as much for every line.
  static constexpr double kUsualRecordBytes = 512;

  // Grows the arena reservation when the next row would not fit: the rows to
  // come are estimated from the rows so far, with the "#" and "RD#" digits of
  // the longest line number; by an eighth at least, should the file hold
  // more lines than expected.
  void ReserveFor(const AcceptedRecord& r, std::size_t rowBytes, std::size_t numberBytes) {
    used_ += rowBytes;
    otherBytes_ += rowBytes - numberBytes;
    if (used_ <= reserved_) return;
    const std::uint64_t lineCount = LineCount();
    const double records = static_cast<double>(r.row);
    const double remainingLines = static_cast<double>(lineCount - std::min(lineCount, r.lineNumber));
    const double acceptance = records / static_cast<double>(r.lineNumber);
    const double perRecord =
        std::min(static_cast<double>(otherBytes_) / records, kUsualRecordBytes) + 2.0 * DecimalDigits(lineCount);
    const auto estimate = static_cast<std::size_t>(remainingLines * acceptance * perRecord * 1.005);
    reserved_ = used_ + std::max(estimate, used_ / 8) + 4096;
    grid_.Reserve(std::max<std::uint64_t>(lineCount, r.row) + 1, reserved_ + captionBytes_);
  }

  CellTable& grid_;
  std::vector<double>& chart_;
  std::vector<RecordNumbers>& numbers_;
  std::string& errors_;
  const CommentsStore& comments_;
  const ViewSettings& view_;
  const RawText& raw_;
  std::string rowText_;
  std::array<std::uint32_t, kGridColumnCount> ends_{};
  std::size_t captionBytes_;  // the caption row, already in the arena
  std::size_t used_ = 0, otherBytes_ = 0, reserved_ = 0;
};

}  // namespace

LogDocument::LogDocument() : sample_(std::make_unique<TSample>()), grid_(NewRecordTable()) {}
LogDocument::~LogDocument() = default;
LogDocument::LogDocument(LogDocument&&) noexcept = default;
LogDocument& LogDocument::operator=(LogDocument&&) noexcept = default;

void LogDocument::ResetContent() {
  raw_.Clear();
  grid_ = NewRecordTable();
  gridRowCount_ = 1;
  chart_ = std::vector<double>();
  numbers_ = std::vector<RecordNumbers>();
  loadedLines_ = 0;
  validCount_ = errorCount_ = 0;
  errorList_ = std::string();
  comments_ = CommentsStore();
  commentsError_.clear();
  findings_ = std::vector<QualityFinding>();
  flags_ = std::vector<std::uint8_t>();
}

std::unique_ptr<TSample> LogDocument::NewNavigationSample() {
  auto sample = std::make_unique<TSample>();
  sample->FDevDigits = 5;
  return sample;
}

LoadStatus LogDocument::OpenLog(const std::string& path, const LoadOptions& options) {
  TypeFileState file;
  AssignFileName(file, path, false);
  return OpenLog(file, options);
}

LoadStatus LogDocument::OpenLog(const TypeFileState& file, const LoadOptions& options) {
  sample_ = std::make_unique<TSample>();
  navigation_ = false;
  loadMessage_ = kLoadingData;
  state_ = file;
  return Open(options);
}

LoadStatus LogDocument::OpenNavigation(const std::string& path, std::unique_ptr<TSample> sample,
                                       const LoadOptions& options) {
  sample_ = sample ? std::move(sample) : std::make_unique<TSample>();
  navigation_ = true;
  loadMessage_ = kImportingData;
  state_ = TypeFileState();
  AssignFileName(state_, path, true);
  return Open(options);
}

LoadStatus LogDocument::Open(const LoadOptions& options) {
  ResetContent();
  if (state_.recognition == Recognition::Empty) return status_ = LoadStatus::Empty;
  if (options.caption) options.caption(kLoadingFile);
  if (!raw_.OpenFile(state_.FileName)) return status_ = LoadStatus::Unreadable;
  if (state_.recognition == Recognition::Unknown) {
    if (!ReadRestOfFile()) return status_ = LoadStatus::Unreadable;
    return status_ = raw_.LineCount() == 0 ? LoadStatus::Empty : LoadStatus::Unknown;
  }
  if (state_.kind) SetUpSample(*sample_, *state_.kind);
  sample_->FMapDatum = options.mapDatum;
  if (state_.GrdFile) commentsError_ = comments_.Load(state_.NameGrdFile);
  if (options.caption) options.caption(loadMessage_);

  raw_.ReadMore();  // the first piece tells how many lines to expect
  const auto lastLine = [this] { return std::max<std::uint64_t>(raw_.ExpectedLineCount(), 1) - 1; };
  chart_.reserve(raw_.ExpectedLineCount());
  AdviseHugePages(chart_);
  numbers_.reserve(raw_.ExpectedLineCount());
  AdviseHugePages(numbers_);
  GridSink sink(grid_, chart_, numbers_, errorList_, comments_, options.view, raw_);
  RawLineSource source(raw_);
  ProgressThrottle progress(options.progress, lastLine());
  PipelineOptions pipeline;
  pipeline.threads = options.threads;
  pipeline.batchLines = options.batchLines;
  pipeline.cancel = options.cancel;
  pipeline.progress = [&](std::uint64_t linesDone) {
    progress.SetMaximum(lastLine());
    progress.Update(linesDone);
  };
  const PipelineResult result = RunRecordPipeline(*sample_, source, sink, pipeline);
  // The raw view shows the whole file, also after a cancel or an end marker.
  if (!ReadRestOfFile()) return status_ = LoadStatus::Unreadable;
  // Emptied since it was recognised.
  if (raw_.LineCount() == 0) return status_ = LoadStatus::Empty;
  progress.SetMaximum(lastLine());
  progress.Update(lastLine());

  validCount_ = result.validCount;
  errorCount_ = result.errorCount;
  grid_.SetRows(validCount_ + 1);
  grid_.ReleaseUnusedReservation();
  errorList_.shrink_to_fit();
  // A reservation far beyond the records (a file of rejected lines) is given
  // back; a small excess is kept rather than copying every record's numbers,
  // which would hold them twice at the peak of the load.
  if (numbers_.capacity() - numbers_.size() > numbers_.capacity() / 4) numbers_.shrink_to_fit();
  loadedLines_ = result.cancelled ? result.stopIndex : raw_.LineCount();
  // The grid keeps a row for every line of the file up to where the loop
  // stopped, less the rejected ones; rows past the records show blank.
  gridRowCount_ = result.hasData ? std::max<std::uint64_t>(validCount_ + 1, result.stopIndex - errorCount_ + 1)
                                 : validCount_ + 1;
  Requalify(options.alarms);
  return status_ = result.cancelled ? LoadStatus::Cancelled : LoadStatus::Loaded;
}

// False, with the document emptied, when a read failed.
bool LogDocument::ReadRestOfFile() {
  while (raw_.ReadMore()) {
  }
  if (!raw_.ReadFailed()) return true;
  ResetContent();
  return false;
}

std::size_t LogDocument::RowOfRawLine(std::size_t line) const {
  // "RD#" grows with the row: a binary search over rows 1 to ValidCount().
  const std::uint64_t wanted = line + 1;
  std::size_t low = 1, high = static_cast<std::size_t>(validCount_) + 1;
  while (low < high) {
    const std::size_t mid = low + (high - low) / 2;
    const auto number = static_cast<std::uint64_t>(CellInteger(grid_.Cell(mid, kColRawLine)));
    if (number == wanted) return mid;
    if (number < wanted) low = mid + 1;
    else high = mid;
  }
  return 0;
}

std::optional<std::size_t> LogDocument::RawLineOfRow(std::size_t row) const {
  if (row < 1 || row > validCount_) return std::nullopt;
  const std::int64_t number = CellInteger(grid_.Cell(row, kColRawLine));
  if (number < 1) return std::nullopt;
  return static_cast<std::size_t>(number - 1);
}

bool LogDocument::SetComment(std::size_t row, std::string_view text, std::string* error) {
  auto fail = [error](std::string message) {
    if (error) *error = std::move(message);
    return false;
  };
  if (row < 1 || row >= gridRowCount_) return fail("There is no grid row " + std::to_string(row) + ".");
  comments_.SetComment(static_cast<std::int64_t>(row), text);
  if (row >= grid_.Rows()) grid_.SetRows(row + 1);
  grid_.SetCell(row, kColComment,
                comments_.CommentOf(static_cast<std::int64_t>(row)).value_or(std::string_view()));
  if (state_.NameGrdFile.empty()) return fail("This log has no comments file.");
  if (!commentsError_.empty()) return fail(commentsError_);
  const std::string saveError = comments_.Save(state_.NameGrdFile, state_.FileName);
  if (!saveError.empty()) return fail(saveError);
  state_.GrdFile = true;
  return true;
}

void LogDocument::Recolour(const ViewSettings& view) {
  for (std::size_t row = 1; row <= validCount_; ++row) {
    const RowColours colours =
        DeviationColours(static_cast<std::int64_t>(row), static_cast<std::int64_t>(chart_[row - 1]), view);
    grid_.SetRowColor(row, colours.background);
    grid_.SetRowFontColor(row, colours.font);
  }
}

void LogDocument::Requalify(const AlarmSettings& alarms) {
  std::vector<double> depths;
  if (std::any_of(numbers_.begin(), numbers_.end(), [](const RecordNumbers& n) { return !std::isnan(n.towDepth); })) {
    depths.reserve(numbers_.size());
    for (const RecordNumbers& n : numbers_) depths.push_back(n.towDepth);
  }
  findings_ = FlagSeries(chart_, depths, {}, QualitySettingsFor(alarms, InstrumentOfKind(sample_->FKind)));
  flags_ = FlagMask(chart_.size(), findings_);
}

std::size_t LogDocument::MemoryBytes() const {
  return raw_.MemoryBytes() + grid_.MemoryBytes() + chart_.capacity() * sizeof(double) +
         numbers_.capacity() * sizeof(RecordNumbers) + errorList_.capacity() +
         findings_.capacity() * sizeof(QualityFinding) + flags_.capacity();
}

}  // namespace tessaly
