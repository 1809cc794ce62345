#include "platform/ui/wx/pending_changes.h"

namespace ui::wx {

bool PendingChanges::Schedule() {
  if (scheduled_) return false;
  scheduled_ = true;
  return true;
}

bool PendingChanges::Add(HWND hwnd, Change change) {
  std::lock_guard lock(mutex_);
  batch_.windows[hwnd] |= ChangeBit(change);
  return Schedule();
}

bool PendingChanges::SetWaitCursor(bool busy) {
  std::lock_guard lock(mutex_);
  batch_.wait_cursor = busy;
  return Schedule();
}

ChangeBatch PendingChanges::Take() {
  std::lock_guard lock(mutex_);
  scheduled_ = false;
  return std::exchange(batch_, ChangeBatch{});
}

}  // namespace ui::wx
