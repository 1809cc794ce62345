// Test support: calls a function with the record of each message box as it is shown, while the
// object is registered as a window observer.
#pragma once

#include <functional>
#include <mutex>
#include <utility>

#include "platform/ui/detail/window_registry.h"
#include "platform/ui/display.h"

class MessageBoxWatch : public ui::WindowObserver {
 public:
  explicit MessageBoxWatch(std::function<void(const ui::WindowState&)> on_shown)
      : on_shown_(std::move(on_shown)) {}

  void OnWindowChange(HWND hwnd, ui::Change change) override {
    if (change != ui::Change::kVisibility) return;
    std::lock_guard lock(ui::WindowMutex());
    const ui::WindowState* w = ui::FindWindowState(hwnd);
    if (w && w->is_message_box && w->visible) on_shown_(*w);
  }

 private:
  std::function<void(const ui::WindowState&)> on_shown_;
};
