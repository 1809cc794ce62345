#include "platform/ui/window.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "platform/ui/cwnd.h"
#include "platform/ui/detail/queue_state.h"
#include "platform/ui/detail/window_registry.h"
#include "platform/ui/display.h"
#include "platform/ui/instance_lookup.h"
#include "platform/ui/message_queue.h"
#include "platform/ui/resources.h"

namespace ui {
namespace {

struct Registry {
  std::unordered_map<HWND, std::unique_ptr<WindowState>> windows;
  std::vector<HWND> top_level;  // topmost first
  std::uintptr_t next_handle = 0x10000;
};

Registry& Windows() {
  static auto* registry = new Registry;  // never destroyed: threads may outlive main
  return *registry;
}

void RaiseTopLevel(HWND hwnd) {
  auto& top = Windows().top_level;
  auto it = std::find(top.begin(), top.end(), hwnd);
  if (it != top.end()) std::rotate(top.begin(), it, it + 1);
}

}  // namespace

std::mutex& WindowMutex() {
  static auto* mutex = new std::mutex;
  return *mutex;
}

WindowState* FindWindowState(HWND hwnd) {
  auto& windows = Windows().windows;
  auto it = windows.find(hwnd);
  return it == windows.end() ? nullptr : it->second.get();
}

std::shared_ptr<ThreadQueue> OwnerQueue(HWND hwnd) {
  std::lock_guard lock(WindowMutex());
  WindowState* w = FindWindowState(hwnd);
  return w ? w->owner : nullptr;
}

HWND CreateWindowState(WindowState state) {
  state.owner = CurrentQueue();
  CountWindow(*state.owner, +1);
  HWND hwnd;
  {
    std::lock_guard lock(WindowMutex());
    auto& reg = Windows();
    hwnd = reinterpret_cast<HWND>(reg.next_handle++);
    state.hwnd = hwnd;
    if (state.parent) {
      if (WindowState* parent = FindWindowState(state.parent)) parent->children.push_back(hwnd);
    } else {
      reg.top_level.insert(reg.top_level.begin(), hwnd);
    }
    reg.windows.emplace(hwnd, std::make_unique<WindowState>(std::move(state)));
  }
  NotifyWindowChange(hwnd, Change::kCreated);
  return hwnd;
}

std::vector<HWND> TopLevelWindows() {
  std::lock_guard lock(WindowMutex());
  return Windows().top_level;
}

}  // namespace ui

using ui::WindowState;

LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CWnd* target = nullptr;
  {
    std::lock_guard lock(ui::WindowMutex());
    WindowState* w = ui::FindWindowState(hwnd);
    if (!w || !ui::IsCurrentQueue(*w->owner)) return 0;
    target = w->wnd;
  }
  if (target) return target->WindowProc(message, wParam, lParam);
  return DefWindowProc(hwnd, message, wParam, lParam);
}

LRESULT DispatchMessage(const MSG* msg) {
  return SendMessage(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT DefWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  ui::WindowKind kind;
  {
    std::lock_guard lock(ui::WindowMutex());
    WindowState* w = ui::FindWindowState(hwnd);
    if (!w) return 0;
    kind = w->kind;
  }
  switch (message) {
    case WM_CLOSE:
      // A dialog turns a close request into its cancel command; other windows go away.
      if (kind == ui::WindowKind::kDialog) return SendMessage(hwnd, WM_COMMAND, IDCANCEL, 0);
      DestroyWindow(hwnd);
      return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) return SendMessage(hwnd, WM_CLOSE, 0, 0);
      return 0;
    case WM_SETICON: {
      auto* icon = reinterpret_cast<const ui::ImageResource*>(lParam);
      if (wParam == ICON_BIG)
        ui::ChangeWindow(hwnd, ui::Change::kIcon, [&](WindowState& w) {
          w.icon_resource = icon ? icon->name : std::string();
          return true;
        });
      return 0;
    }
    case LVM_GETITEMCOUNT: {
      std::lock_guard lock(ui::WindowMutex());
      WindowState* w = ui::FindWindowState(hwnd);
      return w ? static_cast<LRESULT>(w->rows.size()) : 0;
    }
    case LVM_DELETEALLITEMS:
      ui::ChangeWindow(hwnd, ui::Change::kCells, [](WindowState& w) {
        w.rows.clear();
        return true;
      });
      return TRUE;
    default:
      return 0;
  }
}

BOOL IsWindow(HWND hwnd) {
  std::lock_guard lock(ui::WindowMutex());
  return ui::FindWindowState(hwnd) ? TRUE : FALSE;
}

BOOL DestroyWindow(HWND hwnd) {
  std::vector<HWND> children;
  std::shared_ptr<ui::ThreadQueue> owner;
  {
    std::lock_guard lock(ui::WindowMutex());
    WindowState* w = ui::FindWindowState(hwnd);
    if (!w) return FALSE;
    children = w->children;
    owner = w->owner;
  }
  for (HWND child : children) DestroyWindow(child);
  ui::KillWindowTimers(*owner, hwnd);
  ui::CountWindow(*owner, -1);
  ui::NotifyWindowChange(hwnd, ui::Change::kDestroyed);
  std::lock_guard lock(ui::WindowMutex());
  auto& reg = ui::Windows();
  WindowState* w = ui::FindWindowState(hwnd);
  if (!w) return FALSE;
  if (CWnd* wnd = w->wnd) wnd->m_hWnd = nullptr;
  if (WindowState* parent = ui::FindWindowState(w->parent)) std::erase(parent->children, hwnd);
  std::erase(reg.top_level, hwnd);
  reg.windows.erase(hwnd);
  return TRUE;
}

BOOL ShowWindow(HWND hwnd, int cmd) {
  if (ui::IsForeignWindow(hwnd)) {
    if (cmd == SW_SHOWNORMAL || cmd == SW_RESTORE || cmd == SW_SHOW)
      ui::ActivateForeignWindow(hwnd);
    return TRUE;
  }
  return ui::ChangeWindow(hwnd, ui::Change::kVisibility, [&](WindowState& w) {
    switch (cmd) {
      case SW_HIDE:
        w.visible = false;
        break;
      case SW_MINIMIZE:
      case SW_SHOWMINIMIZED:
        w.visible = true;
        w.iconic = true;
        break;
      case SW_SHOWNORMAL:
      case SW_RESTORE:
        w.visible = true;
        w.iconic = false;
        break;
      default:
        w.visible = true;
    }
    return true;
  });
}

BOOL IsWindowVisible(HWND hwnd) {
  std::lock_guard lock(ui::WindowMutex());
  WindowState* w = ui::FindWindowState(hwnd);
  return w && w->visible ? TRUE : FALSE;
}

BOOL IsIconic(HWND hwnd) {
  std::lock_guard lock(ui::WindowMutex());
  WindowState* w = ui::FindWindowState(hwnd);
  return w && w->iconic ? TRUE : FALSE;
}

BOOL SetWindowText(HWND hwnd, const char* text) {
  std::string value = text ? text : "";
  return ui::ChangeWindow(hwnd, ui::Change::kText, [&](WindowState& w) {
    if (w.text == value) return false;
    w.text = value;
    return true;
  });
}

int GetWindowText(HWND hwnd, char* buffer, int maxCount) {
  if (!buffer || maxCount <= 0) return 0;
  std::string text;
  if (ui::IsForeignWindow(hwnd)) {
    text = ui::ForeignWindowTitle(hwnd);
  } else {
    std::lock_guard lock(ui::WindowMutex());
    WindowState* w = ui::FindWindowState(hwnd);
    if (w) text = w->text;
  }
  std::size_t n = std::min<std::size_t>(text.size(), static_cast<std::size_t>(maxCount - 1));
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
  return static_cast<int>(n);
}

BOOL SetForegroundWindow(HWND hwnd) {
  if (ui::IsForeignWindow(hwnd)) {
    ui::ActivateForeignWindow(hwnd);
    return TRUE;
  }
  return ui::ChangeWindow(hwnd, ui::Change::kForeground, [&](WindowState& w) {
    if (!w.parent) ui::RaiseTopLevel(w.hwnd);
    return true;
  });
}

HWND GetDlgItem(HWND dialog, int id) {
  std::lock_guard lock(ui::WindowMutex());
  WindowState* w = ui::FindWindowState(dialog);
  if (!w) return nullptr;
  for (HWND child : w->children) {
    WindowState* c = ui::FindWindowState(child);
    if (c && c->id == id) return child;
  }
  return nullptr;
}

HWND GetParent(HWND hwnd) {
  std::lock_guard lock(ui::WindowMutex());
  WindowState* w = ui::FindWindowState(hwnd);
  return w ? w->parent : nullptr;
}

HWND SetFocus(HWND hwnd) {
  HWND previous = nullptr;
  HWND parent = GetParent(hwnd);
  {
    std::lock_guard lock(ui::WindowMutex());
    WindowState* w = ui::FindWindowState(hwnd);
    if (!w) return nullptr;
    WindowState* p = ui::FindWindowState(parent);
    if (p) {
      for (HWND sibling : p->children)
        if (WindowState* s = ui::FindWindowState(sibling); s && s->focused) {
          previous = sibling;
          s->focused = false;
        }
    }
    w->focused = true;
  }
  ui::NotifyWindowChange(hwnd, ui::Change::kFocus);
  return previous;
}

// Client sizes in pixels: a control's own pixel size when it has one, else its template size
// at the nominal dialog font (6 x 13 pixels per character); a minimised window is its icon.
BOOL GetClientRect(HWND hwnd, RECT* rect) {
  std::lock_guard lock(ui::WindowMutex());
  WindowState* w = ui::FindWindowState(hwnd);
  if (!w || !rect) return FALSE;
  if (w->width_px || w->height_px) {
    *rect = RECT{0, 0, w->width_px, w->height_px};
  } else if (w->iconic) {
    *rect = RECT{0, 0, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)};
  } else {
    *rect = RECT{0, 0, w->dialog_units.right * 6 / 4, w->dialog_units.bottom * 13 / 8};
  }
  return TRUE;
}

int GetSystemMetrics(int index) {
  switch (index) {
    case SM_CXICON:
    case SM_CYICON:
      return 32;
    default:
      return 0;
  }
}

HWND GetDesktopWindow() { return ui::DesktopWindowHandle(); }

HWND GetTopWindow(HWND parent) {
  if (parent == ui::DesktopWindowHandle()) return ui::FirstForeignWindow();
  std::lock_guard lock(ui::WindowMutex());
  WindowState* w = ui::FindWindowState(parent);
  return w && !w->children.empty() ? w->children.front() : nullptr;
}

HWND GetWindow(HWND hwnd, UINT cmd) {
  if (cmd != GW_HWNDNEXT) return nullptr;
  if (ui::IsForeignWindow(hwnd)) return ui::NextForeignWindow(hwnd);
  std::lock_guard lock(ui::WindowMutex());
  WindowState* w = ui::FindWindowState(hwnd);
  if (!w) return nullptr;
  WindowState* p = ui::FindWindowState(w->parent);
  const auto& list = p ? p->children : ui::Windows().top_level;
  auto it = std::find(list.begin(), list.end(), hwnd);
  return it != list.end() && it + 1 != list.end() ? *(it + 1) : nullptr;
}
