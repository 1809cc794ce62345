// Internal: the record of every window of the process and the lock that guards them. The
// display thread reads these records under the same lock to mirror them.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/ui/display.h"
#include "platform/ui/win_types.h"

class CWnd;

namespace ui {

struct ThreadQueue;

enum class WindowKind { kDialog, kButton, kStatic, kListView };

struct ListColumn {
  std::string header;
  int width_px;
  int format;
};

struct WindowState {
  HWND hwnd = nullptr;
  WindowKind kind = WindowKind::kDialog;
  int id = -1;  // control id; -1 for top-level windows
  HWND parent = nullptr;
  std::vector<HWND> children;
  std::string text;
  std::string font_face;
  int font_points = 8;
  DWORD style = 0;
  DWORD ex_style = 0;
  RECT dialog_units{0, 0, 0, 0};  // position and size from the template
  int width_px = 0;               // set for controls sized in pixels (bitmap buttons)
  int height_px = 0;
  bool visible = false;
  bool iconic = false;
  bool enabled = true;
  bool focused = false;
  bool is_message_box = false;
  UINT message_box_type = 0;
  std::string icon_resource;              // window icon (WM_SETICON) or message box icon
  std::vector<std::string> bitmap_names;  // bitmap button: U, D, F, X; picture: one
  std::vector<ListColumn> columns;
  std::vector<std::vector<std::string>> rows;
  std::shared_ptr<ThreadQueue> owner;
  CWnd* wnd = nullptr;  // the object whose handlers receive this window's messages
};

std::mutex& WindowMutex();

// Under WindowMutex. Null when the handle names no window.
WindowState* FindWindowState(HWND hwnd);
std::shared_ptr<ThreadQueue> OwnerQueue(HWND hwnd);

// Creates a window owned by the calling thread; returns its handle.
HWND CreateWindowState(WindowState state);
// Top-level windows, topmost first.
std::vector<HWND> TopLevelWindows();

// Runs fn on the window's record under WindowMutex and, when fn reports a change, tells the
// observers once the lock is released. False when the handle names no window.
template <typename Fn>
bool ChangeWindow(HWND hwnd, Change change, Fn&& fn) {
  bool changed;
  {
    std::lock_guard lock(WindowMutex());
    WindowState* w = FindWindowState(hwnd);
    if (!w) return false;
    changed = fn(*w);
  }
  if (changed) NotifyWindowChange(hwnd, change);
  return true;
}

}  // namespace ui
