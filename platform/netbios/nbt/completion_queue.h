// Completions waiting to be delivered on the service thread, in order. Any thread queues a
// completion; the service thread runs them (final code, then the post routine); a thread that
// must know a completion has been delivered (a cancel) waits for its sequence number.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>

#include "platform/netbios/nb30.h"

class CompletionQueue {
 public:
  CompletionQueue();
  ~CompletionQueue();
  CompletionQueue(const CompletionQueue&) = delete;
  CompletionQueue& operator=(const CompletionQueue&) = delete;

  // Readable while completions wait; the service thread polls it.
  int WakeFd() const { return wake_fd_; }
  // Wakes the service thread without a completion.
  void Wake();
  // Service thread: makes WakeFd() quiet again; call it before RunPending().
  void ClearWake();

  // Queues the completion of ncb with code and returns its sequence number.
  std::uint64_t Push(NCB* ncb, UCHAR code);
  // The sequence number of the last completion queued so far.
  std::uint64_t LastQueued();
  // Service thread: delivers everything queued, in order, without holding any lock.
  void RunPending();
  // Blocks until the completion with this sequence number (and all before it) was delivered.
  void WaitUntilDelivered(std::uint64_t sequence);

 private:
  struct Completion {
    NCB* ncb;
    UCHAR code;
  };
  int wake_fd_;
  std::mutex mutex_;
  std::condition_variable delivered_changed_;
  std::deque<Completion> queue_;
  std::uint64_t queued_ = 0;
  std::uint64_t delivered_ = 0;
};
