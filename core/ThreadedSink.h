// ThreadedSink: an export sink run on a thread of its own where it wants one
// (ExportSink::WantsOwnThread, asked after Captions). Each row is then
// copied (its numbers, "#", comment and what the sink's formatter made) into
// a batch, and full batches are handed over, so the thread that reads and
// checks the records in order goes on while the sink places, flags and
// keeps them: for a log positioned from its GPS files, placing the records
// is as much work as reading them. A sink that wants no thread has its rows
// passed on as they come (copying them would cost more than it gains).
//
// For a sink that reads of a row nothing but those (its formatter, if any,
// reads no record columns): the other cells reach it empty.
#pragma once

#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/ExportSink.h"

namespace tessaly {

class ThreadedSink : public ExportSink {
 public:
  explicit ThreadedSink(std::unique_ptr<ExportSink> inner);
  // Ends the thread (after the rows handed over) when End was not called.
  ~ThreadedSink() override;
  ThreadedSink(const ThreadedSink&) = delete;
  ThreadedSink& operator=(const ThreadedSink&) = delete;

  // The inner sink's, on the calling thread; the thread, when wanted,
  // starts after it.
  void Captions(const ExportInfo& info) override;
  const RecordFormatter* Formatter() const override { return inner_->Formatter(); }
  void Row(const ExportRecord& record) override;
  // Waits until the inner sink has had every row, then ends it. What the
  // inner sink threw on its thread is thrown here.
  void End() override;
  std::string Error() const override { return inner_->Error(); }

 private:
  struct CopiedRow;
  struct Batch;

  void HandOver();
  void Pass(const Batch& batch);
  void Run();
  void Stop();

  std::unique_ptr<ExportSink> inner_;
  std::unique_ptr<Batch> filling_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::unique_ptr<Batch>> full_;   // handed over, in order
  std::vector<std::unique_ptr<Batch>> spare_; // given back, for reuse
  bool ending_ = false;
  std::exception_ptr failure_;  // what the inner sink threw; no more rows reach it
  std::thread thread_;
};

}  // namespace tessaly
