#include "platform/ui/message_queue.h"

#include <algorithm>
#include <random>

#include "platform/ui/clock.h"
#include "platform/ui/detail/queue_state.h"
#include "platform/ui/detail/window_registry.h"
#include "platform/ui/display.h"

namespace ui {
namespace {

// Owns the calling thread's queue; on thread exit the queue stops taking part in virtual time
// but lives on while windows still refer to it.
struct QueueHolder {
  std::shared_ptr<ThreadQueue> queue = std::make_shared<ThreadQueue>();
  QueueHolder() { RegisterQueue(queue.get()); }
  ~QueueHolder() {
    {
      std::lock_guard lock(QueueMutex());
      queue->alive = false;
      queue->posted.clear();
      queue->timers.clear();
    }
    UnregisterQueue(queue.get());
  }
};

QueueHolder& Holder() {
  thread_local QueueHolder holder;
  return holder;
}

// On the real clock a tick comes up to kTimerSlackMs after its grid time, at random, as the
// ticks of a system timer do. Without it, copies on a LAN whose timers happened to start in
// step would stay in step for good, and a receiver that takes one datagram per poll would
// never hear one of two stations that send in the same poll period.
constexpr std::uint64_t kTimerSlackMs = 15;

// Under the lock.
std::uint64_t Slack() {
  if (IsVirtualClock()) return 0;
  static std::minstd_rand random(std::random_device{}());
  return random() % (kTimerSlackMs + 1);
}

bool InFilter(UINT message, UINT lo, UINT hi) {
  return (lo == 0 && hi == 0) || (message >= lo && message <= hi);
}

// Under the lock: takes the next message for the filter, posted messages before timers.
bool TakeMessage(ThreadQueue& q, MSG* msg, HWND hwnd, UINT lo, UINT hi, bool remove) {
  for (auto it = q.posted.begin(); it != q.posted.end(); ++it) {
    if ((hwnd && it->hwnd != hwnd) || !InFilter(it->message, lo, hi)) continue;
    *msg = *it;
    if (remove) q.posted.erase(it);
    return true;
  }
  if (!InFilter(WM_TIMER, lo, hi)) return false;
  std::uint64_t now = NowLocked();
  WindowTimer* due = nullptr;
  for (auto& t : q.timers)
    if ((!hwnd || t.hwnd == hwnd) && t.due <= now && (!due || t.due < due->due)) due = &t;
  if (!due) return false;
  *msg = MSG{due->hwnd, WM_TIMER, due->id, 0, static_cast<DWORD>(now), {0, 0}};
  if (remove) {
    // Fold missed ticks into this one and stay on the timer's grid.
    std::uint64_t missed = (now - due->grid) / due->period;
    due->grid += (missed + 1) * due->period;
    due->due = due->grid + Slack();
  }
  return true;
}

}  // namespace

std::uint64_t NextTimerDue(const ThreadQueue& queue) {
  std::uint64_t next = kNever;
  for (const auto& t : queue.timers) next = std::min(next, t.due);
  return next;
}

bool HasReadyMessage(const ThreadQueue& queue, std::uint64_t now) {
  return !queue.posted.empty() || queue.quit || NextTimerDue(queue) <= now;
}

std::shared_ptr<ThreadQueue> CurrentQueue() { return Holder().queue; }

bool IsCurrentQueue(const ThreadQueue& queue) { return Holder().queue.get() == &queue; }

void PostToQueue(ThreadQueue& queue, const MSG& msg) {
  std::lock_guard lock(QueueMutex());
  if (!queue.alive) return;
  queue.posted.push_back(msg);
  queue.wake.notify_all();
}

void CountWindow(ThreadQueue& queue, int delta) {
  std::lock_guard lock(QueueMutex());
  queue.windows += delta;
  WakeAllQueues();
}

void KillWindowTimers(ThreadQueue& queue, HWND hwnd) {
  std::lock_guard lock(QueueMutex());
  std::erase_if(queue.timers, [&](const WindowTimer& t) { return t.hwnd == hwnd; });
}

}  // namespace ui

BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto queue = ui::OwnerQueue(hwnd);
  if (!queue) return FALSE;
  ui::PostToQueue(*queue, MSG{hwnd, message, wParam, lParam, 0, {0, 0}});
  return TRUE;
}

BOOL PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT remove) {
  auto& q = *ui::Holder().queue;
  std::lock_guard lock(ui::QueueMutex());
  return ui::TakeMessage(q, msg, hwnd, filterMin, filterMax, remove & PM_REMOVE) ? TRUE : FALSE;
}

BOOL GetMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax) {
  auto& q = *ui::Holder().queue;
  std::unique_lock lock(ui::QueueMutex());
  for (;;) {
    if (q.quit) {
      q.quit = false;
      *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(q.quit_code), 0, 0, {0, 0}};
      return FALSE;
    }
    if (ui::TakeMessage(q, msg, hwnd, filterMin, filterMax, true)) return TRUE;
    lock.unlock();
    ui::RunBeforeWaitHooks();
    lock.lock();
    if (ui::TakeMessage(q, msg, hwnd, filterMin, filterMax, true)) return TRUE;
    ui::WaitForWork(lock, q);
  }
}

void PostQuitMessage(int exitCode) {
  auto& q = *ui::Holder().queue;
  std::lock_guard lock(ui::QueueMutex());
  q.quit = true;
  q.quit_code = exitCode;
}

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, void* /*timerProc*/) {
  auto queue = ui::OwnerQueue(hwnd);
  if (!queue) return 0;
  std::lock_guard lock(ui::QueueMutex());
  std::uint64_t period = std::max<UINT>(elapseMs, 1);
  std::uint64_t grid = ui::NowLocked() + period;
  std::uint64_t due = grid + ui::Slack();
  auto it = std::find_if(queue->timers.begin(), queue->timers.end(),
                         [&](const ui::WindowTimer& t) { return t.hwnd == hwnd && t.id == id; });
  if (it != queue->timers.end())
    *it = ui::WindowTimer{hwnd, id, period, grid, due};
  else
    queue->timers.push_back(ui::WindowTimer{hwnd, id, period, grid, due});
  queue->wake.notify_all();
  return id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
  auto queue = ui::OwnerQueue(hwnd);
  if (!queue) return FALSE;
  std::lock_guard lock(ui::QueueMutex());
  auto removed = std::erase_if(
      queue->timers, [&](const ui::WindowTimer& t) { return t.hwnd == hwnd && t.id == id; });
  return removed ? TRUE : FALSE;
}
