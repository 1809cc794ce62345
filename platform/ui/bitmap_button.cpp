#include "platform/ui/bitmap_button.h"

#include "platform/ui/detail/window_registry.h"
#include "platform/ui/display.h"
#include "platform/ui/resources.h"

BOOL CBitmapButton::AutoLoad(UINT id, CWnd* parent) {
  if (!m_hWnd && !SubclassDlgItem(id, parent)) return FALSE;
  bool loaded = false;
  ui::ChangeWindow(m_hWnd, ui::Change::kBitmaps, [&](ui::WindowState& w) {
    const ui::ImageResource* normal = ui::FindBitmap(w.text + "U");
    if (!normal) return false;
    w.bitmap_names.clear();
    for (const char* suffix : {"U", "D", "F", "X"})
      w.bitmap_names.push_back(ui::FindBitmap(w.text + suffix) ? w.text + suffix : "");
    w.width_px = normal->Width();
    w.height_px = normal->Height();
    loaded = true;
    return true;
  });
  return loaded ? TRUE : FALSE;
}
