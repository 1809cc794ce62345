#include "platform/ui/paint.h"

#include <mutex>

namespace {

std::mutex g_placementMutex;
ui::IconPlacement g_lastPlacement{nullptr, 0, 0, nullptr};

}  // namespace

CPaintDC::CPaintDC(CWnd* wnd) { m_hDC = reinterpret_cast<HDC>(wnd->m_hWnd); }

BOOL CDC::DrawIcon(int x, int y, HICON icon) {
  std::lock_guard lock(g_placementMutex);
  g_lastPlacement = ui::IconPlacement{reinterpret_cast<HWND>(m_hDC), x, y, icon};
  return TRUE;
}

namespace ui {
IconPlacement LastIconPlacement() {
  std::lock_guard lock(g_placementMutex);
  return g_lastPlacement;
}
}  // namespace ui
