// The simulated service's own thread: runs queued completions one at a time, in queue order.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

class SimCompletionThread {
 public:
  SimCompletionThread();
  // Stops the thread after the completion it is running, if any; queued ones never run.
  ~SimCompletionThread();

  SimCompletionThread(const SimCompletionThread&) = delete;
  SimCompletionThread& operator=(const SimCompletionThread&) = delete;

  void Queue(std::function<void()> completion);

  // Blocks until the queue is empty and no completion is running, including completions queued
  // by running ones. Must not be called from a completion.
  void WaitIdle();

 private:
  void Run();

  std::mutex mutex_;
  std::condition_variable queued_cv_;
  std::condition_variable idle_cv_;
  std::deque<std::function<void()>> queue_;
  std::uint64_t queued_count_ = 0;
  std::uint64_t finished_count_ = 0;
  bool stopping_ = false;
  std::thread thread_;  // last: starts once the members above exist
};
