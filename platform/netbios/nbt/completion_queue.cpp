#include "platform/netbios/nbt/completion_queue.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include "platform/netbios/netbios.h"

CompletionQueue::CompletionQueue() : wake_fd_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

CompletionQueue::~CompletionQueue() {
  if (wake_fd_ >= 0) close(wake_fd_);
}

void CompletionQueue::Wake() {
  const std::uint64_t one = 1;
  [[maybe_unused]] const ssize_t n = write(wake_fd_, &one, sizeof one);
}

std::uint64_t CompletionQueue::Push(NCB* ncb, UCHAR code) {
  std::uint64_t sequence;
  {
    std::lock_guard lock(mutex_);
    queue_.push_back({ncb, code});
    sequence = ++queued_;
  }
  Wake();
  return sequence;
}

std::uint64_t CompletionQueue::LastQueued() {
  std::lock_guard lock(mutex_);
  return queued_;
}

void CompletionQueue::ClearWake() {
  std::uint64_t counter;
  [[maybe_unused]] const ssize_t n = read(wake_fd_, &counter, sizeof counter);
}

void CompletionQueue::RunPending() {
  std::unique_lock lock(mutex_);
  while (!queue_.empty()) {
    const Completion next = queue_.front();
    queue_.pop_front();
    lock.unlock();
    CompleteCommand(next.ncb, next.code);
    lock.lock();
    ++delivered_;
    delivered_changed_.notify_all();
  }
}

void CompletionQueue::WaitUntilDelivered(std::uint64_t sequence) {
  std::unique_lock lock(mutex_);
  delivered_changed_.wait(lock, [&] { return delivered_ >= sequence; });
}
