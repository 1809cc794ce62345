// Model changes waiting for the display thread. Changes are merged per window, so a burst of
// list updates costs the display one refresh, and the display thread is woken once per batch.
#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <utility>

#include "platform/ui/display.h"

namespace ui::wx {

constexpr unsigned ChangeBit(Change change) { return 1u << static_cast<unsigned>(change); }

struct ChangeBatch {
  // Window handles grow with creation, so this order is the order the windows were made in.
  std::map<HWND, unsigned> windows;
  std::optional<bool> wait_cursor;
};

class PendingChanges {
 public:
  // Each returns true when the caller must wake the display thread.
  bool Add(HWND hwnd, Change change);
  bool SetWaitCursor(bool busy);
  // Takes everything recorded so far; the next change wakes the display thread again.
  ChangeBatch Take();

 private:
  bool Schedule();

  std::mutex mutex_;
  ChangeBatch batch_;
  bool scheduled_ = false;
};

}  // namespace ui::wx
