#include "platform/ui/wx/model_snapshot.h"

namespace ui::wx {
namespace {

// Under WindowMutex.
WindowSnapshot Copy(const WindowState& w) {
  WindowSnapshot snapshot;
  snapshot.state.hwnd = w.hwnd;
  snapshot.state.kind = w.kind;
  snapshot.state.id = w.id;
  snapshot.state.parent = w.parent;
  snapshot.state.children = w.children;
  snapshot.state.text = w.text;
  snapshot.state.font_face = w.font_face;
  snapshot.state.font_points = w.font_points;
  snapshot.state.style = w.style;
  snapshot.state.ex_style = w.ex_style;
  snapshot.state.dialog_units = w.dialog_units;
  snapshot.state.width_px = w.width_px;
  snapshot.state.height_px = w.height_px;
  snapshot.state.visible = w.visible;
  snapshot.state.iconic = w.iconic;
  snapshot.state.enabled = w.enabled;
  snapshot.state.focused = w.focused;
  snapshot.state.is_message_box = w.is_message_box;
  snapshot.state.message_box_type = w.message_box_type;
  snapshot.state.icon_resource = w.icon_resource;
  snapshot.state.bitmap_names = w.bitmap_names;
  snapshot.state.columns = w.columns;
  snapshot.row_count = w.rows.size();
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
