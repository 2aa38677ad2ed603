// OrderedTasks: jobs run on worker threads, their results taken back in the
// order the jobs were given, so a file can be made in parallel pieces and
// written in order. The caller bounds the jobs in flight (InFlight) to
// bound memory.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

namespace tessaly {

template <typename Result>
class OrderedTasks {
 public:
  explicit OrderedTasks(unsigned threads) {
    for (unsigned t = 0; t < std::max(1u, threads); ++t) workers_.emplace_back([this] { Work(); });
  }
  ~OrderedTasks() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& worker : workers_) worker.join();
  }
  OrderedTasks(const OrderedTasks&) = delete;
  OrderedTasks& operator=(const OrderedTasks&) = delete;

  void Submit(std::function<Result()> job) {
    std::packaged_task<Result()> task(std::move(job));
    results_.push_back(task.get_future());
    {
      std::lock_guard lock(mutex_);
      queue_.push_back(std::move(task));
    }
    wake_.notify_one();
  }
  // The jobs given whose results have not been taken.
  std::size_t InFlight() const { return results_.size(); }
  // Waits for the oldest job's result (rethrowing what it threw).
  Result TakeOldest() {
    Result result = results_.front().get();
    results_.pop_front();
    return result;
  }

 private:
  void Work() {
    std::unique_lock lock(mutex_);
    for (;;) {
      wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
      if (queue_.empty()) return;
      std::packaged_task<Result()> task = std::move(queue_.front());
      queue_.pop_front();
      lock.unlock();
      task();
      lock.lock();
    }
  }

  std::deque<std::future<Result>> results_;  // the caller's only
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::packaged_task<Result()>> queue_;
  bool stopping_ = false;
  std::vector<std::thread> workers_;
};

}  // namespace tessaly
