#include "platform/ui/display.h"

#include <algorithm>
#include <atomic>
#include <mutex>

namespace ui {
namespace {

struct Observers {
  std::mutex mutex;
  std::vector<WindowObserver*> list;
  std::vector<void (*)()> before_wait;
};

Observers& State() {
  static auto* state = new Observers;
  return *state;
}

std::atomic<Display*> g_display{nullptr};

}  // namespace

void AddWindowObserver(WindowObserver* observer) {
  std::lock_guard lock(State().mutex);
  State().list.push_back(observer);
}

void RemoveWindowObserver(WindowObserver* observer) {
  std::lock_guard lock(State().mutex);
  std::erase(State().list, observer);
}

// Observers run under the observer lock, so one that is being removed is never called late.
void NotifyWindowChange(HWND hwnd, Change change) {
  std::lock_guard lock(State().mutex);
  for (WindowObserver* observer : State().list) observer->OnWindowChange(hwnd, change);
}

void SetActiveDisplay(Display* display) { g_display = display; }
Display* ActiveDisplay() { return g_display; }

void AddBeforeWaitHook(void (*hook)()) {
  std::lock_guard lock(State().mutex);
  if (std::find(State().before_wait.begin(), State().before_wait.end(), hook) ==
      State().before_wait.end())
    State().before_wait.push_back(hook);
}

void RunBeforeWaitHooks() {
  std::vector<void (*)()> hooks;
  {
    std::lock_guard lock(State().mutex);
    hooks = State().before_wait;
  }
  for (auto hook : hooks) hook();
}

}  // namespace ui
