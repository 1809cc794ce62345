// Copies of the window model taken under its lock, so that the display thread can build and
// update wx windows without holding the lock (wx calls back into the model to read list cells).
#pragma once

#include <optional>
#include <vector>

#include "platform/ui/detail/window_registry.h"

namespace ui::wx {

struct WindowSnapshot {
  WindowState state;  // without rows, owner or object
  std::size_t row_count = 0;
  std::vector<WindowSnapshot> children;
};

// The top-level window that `hwnd` is or belongs to; null when it no longer exists.
HWND TopLevelOf(HWND hwnd);
// The window and its controls; nothing when the window no longer exists.
std::optional<WindowSnapshot> TakeSnapshot(HWND hwnd);

}  // namespace ui::wx
