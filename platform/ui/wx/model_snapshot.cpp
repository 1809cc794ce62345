#include "platform/ui/wx/model_snapshot.h"

namespace ui::wx {
namespace {

// Under WindowMutex.
WindowSnapshot Copy(const WindowState& w) {
  WindowSnapshot snapshot{w, w.rows.size(), {}};
  snapshot.state.rows.clear();
  snapshot.state.owner.reset();
  snapshot.state.wnd = nullptr;
  for (HWND child : w.children)
    if (const WindowState* c = FindWindowState(child)) snapshot.children.push_back(Copy(*c));
  return snapshot;
}

}  // namespace

HWND TopLevelOf(HWND hwnd) {
  std::lock_guard lock(WindowMutex());
  const WindowState* w = FindWindowState(hwnd);
  while (w && w->parent) w = FindWindowState(w->parent);
  return w ? w->hwnd : nullptr;
}

std::optional<WindowSnapshot> TakeSnapshot(HWND hwnd) {
  std::lock_guard lock(WindowMutex());
  const WindowState* w = FindWindowState(hwnd);
  if (!w) return std::nullopt;
  return Copy(*w);
}

}  // namespace ui::wx
