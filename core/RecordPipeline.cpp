#include "core/RecordPipeline.h"

#include <algorithm>
#include <charconv>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

#include "core/CrLf.h"

namespace tessaly {

RecordCellTexts RecordCells(const TSample& s, std::uint64_t lineNumber, RecordScratch& scratch) {
  char* const digits = scratch.lineNumber.data();
  const auto written = std::to_chars(digits, digits + scratch.lineNumber.size(), lineNumber).ptr;
  scratch.towDepth = s.TowDepthOrZero();
  scratch.sounder = s.SounderOrZero();
  return {{
      s.FNavTime,
      std::string_view(digits, static_cast<std::size_t>(written - digits)),
      s.FDev,
      s.FLatDeg, s.FLatMin, s.FLatHemi,
      s.FLonDeg, s.FLonMin, s.FLonHemi,
      scratch.towDepth, scratch.sounder,
      s.FTfDecLat, s.FTfDecLon, s.FTfZone, s.FTfEast, s.FTfNorth,
      s.FGpsLatDeg, s.FGpsLatMin, s.FGpsLatHemi,
      s.FGpsLonDeg, s.FGpsLonMin, s.FGpsLonHemi,
      s.FGpsDecLat, s.FGpsDecLon, s.FGpsZone, s.FGpsEast, s.FGpsNorth,
  }};
}

GridRowTexts RecordRow(const TSample& sample, const RowContext& context, RecordScratch& scratch) {
  const RecordCellTexts cells = RecordCells(sample, context.lineNumber, scratch);
  GridRowTexts row;
  row[kColSequence] = context.sequence;
  std::copy(cells.begin(), cells.end(), row.begin() + kFirstRecordColumn);
  if (!context.time.empty()) row[kColTime] = context.time;
  row[kColComment] = context.comment;
  return row;
}

void AppendErrorEntry(std::string& out, const RejectedLine& line) {
  char number[24];
  out.append(number, std::to_chars(number, number + sizeof number, line.errorNumber).ptr);
  out.append(" - ").append(line.message).append(kCrLf);
  out.append(line.rawLine).append(kCrLf);
  out.append("Line: ");
  out.append(number, std::to_chars(number, number + sizeof number, line.lineNumber).ptr);
  out.append(kCrLf).append(kCrLf);
}

RecordCellTexts SplitRecordCells(const AcceptedRecord& record) {
  RecordCellTexts cells;
  std::uint32_t start = 0;
  for (std::size_t c = 0; c < kRecordColumnCount; ++c) {
    cells[c] = record.cells.substr(start, record.ends[c] - start);
    start = record.ends[c];
  }
  return cells;
}

std::int64_t CellInteger(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  std::int64_t value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

unsigned DefaultThreadCount() { return std::clamp(std::thread::hardware_concurrency(), 1u, 8u); }

namespace {

enum class LineState : std::uint8_t { Empty, Parsed };

// A run of consecutive lines and everything a worker makes of them.
struct Batch {
  std::vector<std::string_view> lines;
  std::string store;
  std::uint64_t firstIndex = 0;  // file index of lines[0]
  std::size_t begin = 0;         // data lines are lines[begin, end)
  std::size_t end = 0;
  // Worker output, per line of [begin, end).
  std::vector<LineState> state;
  std::vector<LineVerdict> verdicts;
  std::vector<std::int64_t> deviation;
  std::vector<RecordNumbers> numbers;
  std::vector<std::size_t> textStart;    // per line, plus one past the last
  std::vector<std::uint32_t> ends;       // kRecordColumnCount per line, empty ones too
  std::string text;
  bool done = false;
  std::exception_ptr failure;  // what the worker threw (out of memory), rethrown by the caller
};

// Parses and lays out the data lines of a batch with one thread's sample.
class BatchParser {
 public:
  BatchParser(const TSample& setUp, const RecordFormatter* formatter)
      : sample_(setUp.FDecimalSeparator), formatter_(formatter), cells_(!formatter || formatter->UsesCells()) {
    sample_.CopySetUp(setUp);
    sample_.FUtmMetres = cells_;
  }

  void Run(Batch& b) {
    const std::size_t n = b.end - b.begin;
    b.state.resize(n);
    if (b.verdicts.size() < n) b.verdicts.resize(n);
    b.deviation.resize(n);
    b.numbers.resize(n);
    b.textStart.resize(n + 1);
    b.ends.clear();
    b.text.clear();
    for (std::size_t k = 0; k < n; ++k) {
      const std::string_view line = b.lines[b.begin + k];
      b.textStart[k] = b.text.size();
      if (line.empty()) {
        b.state[k] = LineState::Empty;
        LeaveEmpty(b);
        continue;
      }
      b.state[k] = LineState::Parsed;
      // A line an order-free check rejects stays rejected: its row is never
      // laid out (a huge rejected line is not copied once more).
      const bool rejected = sample_.ParseDetached(line, b.verdicts[k]) != 0;
      b.deviation[k] = CellInteger(sample_.FDev);
      if (rejected) {
        LeaveEmpty(b);
        continue;
      }
      b.numbers[k] = sample_.FNumbers;
      LayOut(b, b.firstIndex + b.begin + k + 1);
    }
    b.textStart[n] = b.text.size();
  }

 private:
  // A line without a record: no text, and empty columns in the grid layout.
  void LeaveEmpty(Batch& b) const {
    if (!formatter_) b.ends.resize(b.ends.size() + kRecordColumnCount);
  }

  void LayOut(Batch& b, std::uint64_t lineNumber) {
    if (formatter_ && !cells_) {
      formatter_->Format({}, sample_.FNumbers, b.text);
      return;
    }
    const RecordCellTexts cells = RecordCells(sample_, lineNumber, scratch_);
    if (formatter_) {
      formatter_->Format(cells, sample_.FNumbers, b.text);
      return;
    }
    // Sized once and copied with memcpy: this runs for every cell of every row.
    std::size_t total = 0;
    for (const std::string_view cell : cells) total += cell.size();
    const std::size_t start = b.text.size();
    b.text.resize(start + total);
    const std::size_t endsAt = b.ends.size();
    b.ends.resize(endsAt + kRecordColumnCount);
    char* to = b.text.data() + start;
    std::uint32_t* ends = b.ends.data() + endsAt;
    std::uint32_t end = 0;
    for (std::size_t c = 0; c < kRecordColumnCount; ++c) {
      if (!cells[c].empty()) std::memcpy(to + end, cells[c].data(), cells[c].size());
      end += static_cast<std::uint32_t>(cells[c].size());
      ends[c] = end;
    }
  }

  TSample sample_;
  const RecordFormatter* formatter_;
  bool cells_;  // the formatter, if any, reads the record's texts
  RecordScratch scratch_;
};

// Worker threads taking batches from a queue; the calling thread takes part
// while it waits for the oldest batch.
class BatchPool {
 public:
  BatchPool(const TSample& setUp, const RecordFormatter* formatter, unsigned threads)
      : setUp_(setUp), formatter_(formatter), own_(setUp, formatter) {
    for (unsigned t = 1; t < threads; ++t) workers_.emplace_back([this] { WorkerLoop(); });
  }
  ~BatchPool() {
    {
      std::lock_guard lock(mutex_);
      pending_.clear();
      stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& w : workers_) w.join();
  }

  void Submit(Batch* b) {
    {
      std::lock_guard lock(mutex_);
      b->done = false;
      b->failure = nullptr;
      pending_.push_back(b);
    }
    wake_.notify_one();
  }

  // Returns when b is done, parsing queued batches meanwhile.
  void WaitFor(Batch* b) {
    std::unique_lock lock(mutex_);
    while (!b->done) {
      if (!pending_.empty()) {
        Batch* next = pending_.front();
        pending_.pop_front();
        lock.unlock();
        own_.Run(*next);
        lock.lock();
        next->done = true;
        continue;
      }
      done_.wait(lock);
    }
  }

  // Drops queued batches and waits for those being parsed.
  void Abandon(std::deque<Batch*>& inFlight) {
    std::unique_lock lock(mutex_);
    for (Batch* b : pending_) b->done = true;
    pending_.clear();
    for (Batch* b : inFlight) done_.wait(lock, [b] { return b->done; });
  }

 private:
  void WorkerLoop() {
    BatchParser parser(setUp_, formatter_);
    std::unique_lock lock(mutex_);
    for (;;) {
      wake_.wait(lock, [this] { return stopping_ || !pending_.empty(); });
      if (stopping_) return;
      Batch* b = pending_.front();
      pending_.pop_front();
      lock.unlock();
      try {
        parser.Run(*b);
      } catch (...) {
        b->failure = std::current_exception();
      }
      lock.lock();
      b->done = true;
      done_.notify_all();
    }
  }

  const TSample& setUp_;
  const RecordFormatter* formatter_;
  BatchParser own_;
  std::mutex mutex_;
  std::condition_variable wake_, done_;
  std::deque<Batch*> pending_;
  bool stopping_ = false;
  std::vector<std::thread> workers_;
};

// The order-dependent half of the loop, run on the calling thread.
class LoadLoop {
 public:
  LoadLoop(TSample& sample, LineSource& source, RecordSink& sink, const PipelineOptions& options)
      : sample_(sample), source_(source), sink_(sink), options_(options) {
    result_.hasData = sample.FHeading.empty();
  }

  PipelineResult Run() {
    const unsigned threads = std::max(1u, options_.threads);
    const std::size_t slots = 3 * static_cast<std::size_t>(threads);
    std::vector<std::unique_ptr<Batch>> owned;
    std::vector<Batch*> free;
    for (std::size_t i = 0; i < slots; ++i) {
      owned.push_back(std::make_unique<Batch>());
      free.push_back(owned.back().get());
    }
    BatchPool pool(sample_, options_.formatter, threads);
    std::deque<Batch*> inFlight;
    for (;;) {
      while (!inputDone_ && !free.empty()) {
        Batch* b = free.back();
        free.pop_back();
        if (!Produce(*b)) {
          free.push_back(b);
          break;
        }
        inFlight.push_back(b);
        pool.Submit(b);
      }
      if (inFlight.empty()) break;
      if (options_.cancel && options_.cancel->load(std::memory_order_relaxed)) {
        result_.cancelled = true;
        result_.stopIndex = inFlight.front()->firstIndex + inFlight.front()->begin;
        pool.Abandon(inFlight);
        break;
      }
      Batch* b = inFlight.front();
      pool.WaitFor(b);
      inFlight.pop_front();
      if (b->failure) std::rethrow_exception(b->failure);
      Apply(*b);
      if (options_.progress) options_.progress(b->firstIndex + b->lines.size());
      free.push_back(b);
    }
    if (!result_.cancelled && !stoppedAtMarker_) result_.stopIndex = nextIndex_;
    return result_;
  }

 private:
  // Reads the next lines into b and finds its data range. False at the end.
  bool Produce(Batch& b) {
    b.lines.clear();
    b.store.clear();
    if (!source_.Fill(b.lines, b.store, std::max<std::size_t>(1, options_.batchLines)) || b.lines.empty()) {
      inputDone_ = true;
      return false;
    }
    b.firstIndex = nextIndex_;
    nextIndex_ += b.lines.size();
    b.begin = FindDataStart(b);
    b.end = b.lines.size();
    if (!sample_.FEndMarker.empty()) FindEndMarker(b);
    return true;
  }

  std::size_t FindDataStart(const Batch& b) {
    if (result_.hasData) return 0;
    for (std::size_t k = 0; k < b.lines.size(); ++k) {
      if (b.lines[k].find(sample_.FHeading) != std::string_view::npos) {
        result_.hasData = true;
        result_.firstDataIndex = b.firstIndex + k + 1;
        return k + 1;
      }
    }
    return b.lines.size();
  }

  void FindEndMarker(Batch& b) {
    for (std::size_t k = b.begin; k < b.end; ++k) {
      if (b.lines[k].find(sample_.FEndMarker) != std::string_view::npos) {
        b.end = k;
        stoppedAtMarker_ = true;
        inputDone_ = true;
        result_.stopIndex = b.firstIndex + k;
        return;
      }
    }
  }

  void Apply(const Batch& b) {
    const std::size_t n = b.end - b.begin;
    for (std::size_t k = 0; k < n; ++k) {
      const std::uint64_t lineNumber = b.firstIndex + b.begin + k + 1;
      if (b.state[k] == LineState::Empty) {
        ++sequence_;
        continue;
      }
      if (sample_.Resolve(b.verdicts[k]) == 0) {
        ++result_.validCount;
        const AcceptedRecord record{
            result_.validCount,
            sequence_,
            lineNumber,
            b.deviation[k],
            static_cast<double>(b.deviation[k]),
            std::string_view(b.text).substr(b.textStart[k], b.textStart[k + 1] - b.textStart[k]),
            b.ends.empty() ? std::span<const std::uint32_t>()
                           : std::span<const std::uint32_t>(b.ends).subspan(k * kRecordColumnCount, kRecordColumnCount),
            &b.numbers[k]};
        sink_.Accepted(record);
        ++sequence_;
      } else {
        ++result_.errorCount;
        sink_.Rejected({result_.errorCount, sample_.FErrorText, b.lines[b.begin + k], lineNumber});
      }
    }
  }

  TSample& sample_;
  LineSource& source_;
  RecordSink& sink_;
  const PipelineOptions& options_;
  PipelineResult result_;
  std::uint64_t nextIndex_ = 0;
  std::uint64_t sequence_ = 1;
  bool inputDone_ = false;
  bool stoppedAtMarker_ = false;
};

}  // namespace

PipelineResult RunRecordPipeline(TSample& sample, LineSource& source, RecordSink& sink,
                                 const PipelineOptions& options) {
  return LoadLoop(sample, source, sink, options).Run();
}

}  // namespace tessaly
