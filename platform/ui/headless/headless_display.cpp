#include "platform/ui/headless/headless_display.h"

#include <cstdio>
#include <string>

#include "platform/ui/detail/window_registry.h"
#include "platform/ui/message_queue.h"

namespace ui {

void HeadlessDisplay::OnWindowChange(HWND hwnd, Change change) {
  if (change != Change::kVisibility) return;
  std::string text;
  {
    std::lock_guard lock(WindowMutex());
    const WindowState* w = FindWindowState(hwnd);
    if (!w || !w->is_message_box || !w->visible) return;
    for (HWND child : w->children)
      if (const WindowState* c = FindWindowState(child); c && c->kind == WindowKind::kStatic)
        text += c->text;
  }
  std::fprintf(stderr, "%s\n", text.c_str());
  std::fflush(stderr);
  PostMessage(hwnd, WM_COMMAND, IDOK, 0);
}

}  // namespace ui
