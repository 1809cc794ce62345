#include "platform/ui/wx/model_input.h"

#include "platform/ui/detail/window_registry.h"
#include "platform/ui/message_queue.h"
#include "platform/ui/window.h"

namespace ui::wx {

void PostCloseRequest(HWND window) { PostMessage(window, WM_CLOSE, 0, 0); }

void PostKeyDown(HWND window, WPARAM virtual_key) {
  PostMessage(window, WM_KEYDOWN, virtual_key, 0);
}

void PostButtonClick(HWND button) {
  HWND dialog = nullptr;
  int id = 0;
  {
    std::lock_guard lock(WindowMutex());
    const WindowState* w = FindWindowState(button);
    if (!w || !w->parent) return;
    dialog = w->parent;
    id = w->id;
  }
  PostMessage(dialog, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED),
              reinterpret_cast<LPARAM>(button));
}

void MirrorIconic(HWND window, bool iconic) {
  if ((IsIconic(window) != FALSE) == iconic) return;
  ShowWindow(window, iconic ? SW_MINIMIZE : SW_RESTORE);
  PostMessage(window, WM_PAINT, 0, 0);
}

void MirrorShownFromOutside(HWND window) {
  if (IsWindowVisible(window)) return;
  ShowWindow(window, SW_SHOWNORMAL);
  SetForegroundWindow(window);
}

}  // namespace ui::wx
