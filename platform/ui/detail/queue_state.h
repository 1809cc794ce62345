// Internal state shared by the message queues and the clock: one lock guards every queue and
// the virtual clock, so that "every queue is idle" can be decided atomically.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <limits>
#include <mutex>
#include <vector>

#include "platform/ui/win_types.h"

namespace ui {

constexpr std::uint64_t kNever = std::numeric_limits<std::uint64_t>::max();

struct WindowTimer {
  HWND hwnd;
  UINT_PTR id;
  std::uint64_t period;
  std::uint64_t grid;  // the nominal time of the next tick
  std::uint64_t due;   // when that tick is handed out: its grid time, plus slack on the real clock
};

struct ThreadQueue {
  std::deque<MSG> posted;
  std::vector<WindowTimer> timers;
  std::condition_variable wake;
  bool waiting = false;  // blocked in GetMessage
  int windows = 0;       // live windows owned by the thread; a thread with none holds no time back
  bool alive = true;     // its thread has not ended
  bool quit = false;
  int quit_code = 0;
};

std::mutex& QueueMutex();

// Under QueueMutex: the earliest due time of the queue's timers, or kNever.
std::uint64_t NextTimerDue(const ThreadQueue& queue);
// Under QueueMutex: whether the queue has a message to hand out now.
bool HasReadyMessage(const ThreadQueue& queue, std::uint64_t now);

// Under QueueMutex (held by `lock`): blocks the calling thread's queue until it may have a
// message. With virtual time, advances the clock when every queue is idle.
void WaitForWork(std::unique_lock<std::mutex>& lock, ThreadQueue& queue);

// Under QueueMutex: wakes every waiting queue so it looks at its work (and time) again.
void WakeAllQueues();
void RegisterQueue(ThreadQueue* queue);
// The window registry counts each queue's windows.
void CountWindow(ThreadQueue& queue, int delta);
void UnregisterQueue(ThreadQueue* queue);
std::uint64_t NowLocked();

}  // namespace ui
