#include "core/ThreadedSink.h"

namespace tessaly {

namespace {

constexpr std::size_t kRowsPerBatch = 1024;
constexpr std::size_t kBatchesInFlight = 4;

}  // namespace

// A row as copied: its texts at offsets into the batch's text.
struct ThreadedSink::CopiedRow {
  std::uint64_t row = 0;
  double deviation = 0.0;
  RecordNumbers numbers;
  bool hasNumbers = false;
  bool hasFormatted = false;
  std::uint32_t sequenceAt = 0, sequenceSize = 0;
  std::uint32_t commentAt = 0, commentSize = 0;
  std::uint32_t formattedAt = 0, formattedSize = 0;
};

struct ThreadedSink::Batch {
  std::vector<CopiedRow> rows;
  std::string text;

  // Appends `piece` to the text; where it went.
  std::uint32_t Keep(std::string_view piece, std::uint32_t& size) {
    const auto at = static_cast<std::uint32_t>(text.size());
    text.append(piece);
    size = static_cast<std::uint32_t>(piece.size());
    return at;
  }
  std::string_view View(std::uint32_t at, std::uint32_t size) const { return std::string_view(text).substr(at, size); }
};

ThreadedSink::ThreadedSink(std::unique_ptr<ExportSink> inner)
    : inner_(std::move(inner)), filling_(std::make_unique<Batch>()) {}

ThreadedSink::~ThreadedSink() { Stop(); }

void ThreadedSink::Captions(const ExportInfo& info) {
  inner_->Captions(info);
  if (inner_->WantsOwnThread()) thread_ = std::thread([this] { Run(); });
}

void ThreadedSink::Row(const ExportRecord& record) {
  if (!thread_.joinable()) {
    inner_->Row(record);
    return;
  }
  Batch& batch = *filling_;
  CopiedRow& copy = batch.rows.emplace_back();
  copy.row = record.row;
  copy.deviation = record.deviation;
  if (record.numbers) copy.numbers = *record.numbers, copy.hasNumbers = true;
  copy.sequenceAt = batch.Keep(record.cells[kColSequence], copy.sequenceSize);
  copy.commentAt = batch.Keep(record.cells[kColComment], copy.commentSize);
  if (record.formatted) copy.formattedAt = batch.Keep(*record.formatted, copy.formattedSize), copy.hasFormatted = true;
  if (batch.rows.size() >= kRowsPerBatch) HandOver();
}

// Hands the batch being filled to the thread and takes a spare one, waiting
// while the thread is kBatchesInFlight behind.
void ThreadedSink::HandOver() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return full_.size() < kBatchesInFlight; });
  full_.push_back(std::move(filling_));
  if (spare_.empty()) {
    filling_ = std::make_unique<Batch>();
  } else {
    filling_ = std::move(spare_.back());
    spare_.pop_back();
  }
  changed_.notify_all();
}

void ThreadedSink::Pass(const Batch& batch) {
  for (const CopiedRow& copy : batch.rows) {
    ExportRecord record;
    record.row = copy.row;
    record.deviation = copy.deviation;
    record.numbers = copy.hasNumbers ? &copy.numbers : nullptr;
    record.cells[kColSequence] = batch.View(copy.sequenceAt, copy.sequenceSize);
    record.cells[kColComment] = batch.View(copy.commentAt, copy.commentSize);
    if (copy.hasFormatted) record.formatted = batch.View(copy.formattedAt, copy.formattedSize);
    inner_->Row(record);
  }
}

void ThreadedSink::Run() {
  for (;;) {
    std::unique_ptr<Batch> batch;
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [this] { return !full_.empty() || ending_; });
      if (full_.empty()) return;
      batch = std::move(full_.front());
      full_.pop_front();
      changed_.notify_all();
    }
    if (!failure_) {
      try {
        Pass(*batch);
      } catch (...) {
        failure_ = std::current_exception();
      }
    }
    batch->rows.clear();
    batch->text.clear();
    std::lock_guard lock(mutex_);
    spare_.push_back(std::move(batch));
  }
}

// Hands over what is left and waits for the thread to have taken it all.
void ThreadedSink::Stop() {
  if (!thread_.joinable()) return;
  if (!filling_->rows.empty()) HandOver();
  {
    std::lock_guard lock(mutex_);
    ending_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void ThreadedSink::End() {
  Stop();
  if (failure_) std::rethrow_exception(failure_);
  inner_->End();
}

}  // namespace tessaly
