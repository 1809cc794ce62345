#include "platform/netbios/sim/sim_completion_thread.h"

#include <utility>

SimCompletionThread::SimCompletionThread() : thread_([this] { Run(); }) {}

SimCompletionThread::~SimCompletionThread() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  queued_cv_.notify_one();
  thread_.join();
}

void SimCompletionThread::Queue(std::function<void()> completion) {
  {
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(completion));
    ++queued_count_;
  }
  queued_cv_.notify_one();
}

void SimCompletionThread::WaitIdle() {
  std::unique_lock lock(mutex_);
  idle_cv_.wait(lock, [this] { return stopping_ || finished_count_ == queued_count_; });
}

void SimCompletionThread::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    queued_cv_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
    if (stopping_) break;
    std::function<void()> completion = std::move(queue_.front());
    queue_.pop_front();
    lock.unlock();
    completion();
    lock.lock();
    ++finished_count_;
    if (finished_count_ == queued_count_) idle_cv_.notify_all();
  }
  idle_cv_.notify_all();
}
