#include "platform/ui/bitmap_button.h"

#include "platform/ui/detail/window_registry.h"
#include "platform/ui/display.h"
#include "platform/ui/resources.h"

BOOL CBitmapButton::AutoLoad(UINT id, CWnd* parent) {
  if (!m_hWnd && !SubclassDlgItem(id, parent)) return FALSE;
  {
    std::lock_guard lock(ui::WindowMutex());
    ui::WindowState* w = ui::FindWindowState(m_hWnd);
    if (!w) return FALSE;
    const ui::ImageResource* normal = ui::FindBitmap(w->text + "U");
    if (!normal) return FALSE;
    w->bitmap_names.clear();
    for (const char* suffix : {"U", "D", "F", "X"})
      w->bitmap_names.push_back(ui::FindBitmap(w->text + suffix) ? w->text + suffix : "");
    w->width_px = normal->Width();
    w->height_px = normal->Height();
  }
  ui::NotifyWindowChange(m_hWnd, ui::Change::kBitmaps);
  return TRUE;
}
