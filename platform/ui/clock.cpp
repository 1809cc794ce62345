#include "platform/ui/clock.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <map>

#include "platform/ui/detail/queue_state.h"

namespace ui {
namespace {

using SteadyClock = std::chrono::steady_clock;

struct ClockState {
  std::atomic<bool> is_virtual{false};
  std::uint64_t virtual_now = 0;
  bool advancing = false;
  std::multimap<std::uint64_t, std::function<void()>> actions;
  std::vector<std::function<void()>> idle_hooks;
  std::vector<ThreadQueue*> queues;
  SteadyClock::time_point epoch = SteadyClock::now();
};

ClockState& State() {
  static auto* state = new ClockState;  // never destroyed: threads may outlive main
  return *state;
}

std::uint64_t RealNow() {
  return static_cast<std::uint64_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - State().epoch)
          .count());
}

bool QueueIdle(const ThreadQueue* q, std::uint64_t now) {
  return !q->alive || q->windows == 0 || (q->waiting && !HasReadyMessage(*q, now));
}

bool AllIdle() {
  auto& s = State();
  return std::all_of(s.queues.begin(), s.queues.end(),
                     [&](const ThreadQueue* q) { return QueueIdle(q, s.virtual_now); });
}

std::uint64_t NextEvent() {
  auto& s = State();
  std::uint64_t next = s.actions.empty() ? kNever : s.actions.begin()->first;
  for (const ThreadQueue* q : s.queues)
    if (q->alive) next = std::min(next, NextTimerDue(*q));
  return next;
}

// Under the lock: removes and returns the actions due at the current virtual time.
std::vector<std::function<void()>> TakeDueActions() {
  auto& s = State();
  std::vector<std::function<void()>> due;
  while (!s.actions.empty() && s.actions.begin()->first <= s.virtual_now) {
    due.push_back(std::move(s.actions.begin()->second));
    s.actions.erase(s.actions.begin());
  }
  return due;
}

// Called with the lock held while every queue is idle. Runs idle hooks, then moves time to the
// next event and runs the actions due. Returns false when there is no event to move to.
bool AdvanceVirtualTime(std::unique_lock<std::mutex>& lock) {
  auto& s = State();
  s.advancing = true;
  auto hooks = s.idle_hooks;
  lock.unlock();
  for (auto& hook : hooks) hook();
  lock.lock();
  s.advancing = false;
  if (!AllIdle()) return true;
  std::uint64_t next = NextEvent();
  if (next == kNever) return false;
  s.virtual_now = std::max(s.virtual_now, next);
  auto due = TakeDueActions();
  WakeAllQueues();
  if (!due.empty()) {
    s.advancing = true;
    lock.unlock();
    for (auto& action : due) action();
    lock.lock();
    s.advancing = false;
    WakeAllQueues();
  }
  return true;
}

}  // namespace

void WakeAllQueues() {
  for (ThreadQueue* q : State().queues) q->wake.notify_all();
}

std::mutex& QueueMutex() {
  static auto* mutex = new std::mutex;
  return *mutex;
}

std::uint64_t NowLocked() { return State().is_virtual ? State().virtual_now : RealNow(); }

std::uint64_t NowMs() {
  if (!State().is_virtual) return RealNow();
  std::lock_guard lock(QueueMutex());
  return State().virtual_now;
}

void UseVirtualClock() {
  std::lock_guard lock(QueueMutex());
  auto& s = State();
  s.is_virtual = true;
  s.virtual_now = 0;
  s.actions.clear();
  s.idle_hooks.clear();
}

void UseRealClock() {
  std::lock_guard lock(QueueMutex());
  auto& s = State();
  s.is_virtual = false;
  s.actions.clear();
  s.idle_hooks.clear();
  WakeAllQueues();
}

bool IsVirtualClock() { return State().is_virtual; }

void RunAt(std::uint64_t at_ms, std::function<void()> fn) {
  std::lock_guard lock(QueueMutex());
  State().actions.emplace(at_ms, std::move(fn));
  WakeAllQueues();
}

void AdvanceVirtualTime(std::uint64_t ms) {
  std::vector<std::function<void()>> due;
  {
    std::lock_guard lock(QueueMutex());
    auto& s = State();
    s.virtual_now += ms;
    due = TakeDueActions();
    WakeAllQueues();
  }
  for (auto& action : due) action();
}

void AddIdleHook(std::function<void()> hook) {
  std::lock_guard lock(QueueMutex());
  State().idle_hooks.push_back(std::move(hook));
}

void RegisterQueue(ThreadQueue* queue) {
  std::lock_guard lock(QueueMutex());
  State().queues.push_back(queue);
}

void UnregisterQueue(ThreadQueue* queue) {
  std::lock_guard lock(QueueMutex());
  auto& qs = State().queues;
  qs.erase(std::remove(qs.begin(), qs.end(), queue), qs.end());
  WakeAllQueues();  // a thread that ended may have been the last busy one
}

void WaitForWork(std::unique_lock<std::mutex>& lock, ThreadQueue& queue) {
  auto& s = State();
  if (!s.is_virtual) {
    std::uint64_t due = NextTimerDue(queue);
    if (due == kNever)
      queue.wake.wait(lock);
    else
      queue.wake.wait_until(lock, s.epoch + std::chrono::milliseconds(due));
    return;
  }
  queue.waiting = true;
  if (!s.advancing && AllIdle()) {
    if (!AdvanceVirtualTime(lock)) queue.wake.wait(lock);
  } else {
    queue.wake.wait(lock);
  }
  queue.waiting = false;
}

}  // namespace ui
