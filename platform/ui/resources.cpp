#include "platform/ui/resources.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/ui/cstring.h"

namespace ui {
namespace {

const ResourceTable*& Table() {
  static const ResourceTable* table = nullptr;
  return table;
}

const ImageResource* FindImage(const std::vector<ImageResource>& images, std::string_view name) {
  auto it = std::find_if(images.begin(), images.end(),
                         [&](const ImageResource& r) { return r.name == name; });
  return it == images.end() ? nullptr : &*it;
}

void ReadXpmSize(const char* const* xpm, int* width, int* height) {
  *width = *height = 0;
  if (xpm && xpm[0] && std::sscanf(xpm[0], "%d %d", width, height) != 2) *width = *height = 0;
}

}  // namespace

int ImageResource::Width() const {
  int w, h;
  ReadXpmSize(xpm, &w, &h);
  return w;
}

int ImageResource::Height() const {
  int w, h;
  ReadXpmSize(xpm, &w, &h);
  return h;
}

void SetResources(const ResourceTable* table) { Table() = table; }

const DialogTemplate* FindDialogTemplate(UINT id) {
  if (!Table()) return nullptr;
  const auto& dialogs = Table()->dialogs;
  auto it = std::find_if(dialogs.begin(), dialogs.end(),
                         [&](const DialogTemplate& d) { return d.id == id; });
  return it == dialogs.end() ? nullptr : &*it;
}

const ImageResource* FindIcon(std::string_view name) {
  return Table() ? FindImage(Table()->icons, name) : nullptr;
}

const ImageResource* FindBitmap(std::string_view name) {
  return Table() ? FindImage(Table()->bitmaps, name) : nullptr;
}

bool FindString(UINT id, std::string* out) {
  if (!Table()) return false;
  for (const auto& entry : Table()->strings)
    if (entry.id == id) {
      out->assign(entry.text);
      return true;
    }
  return false;
}

}  // namespace ui

int LoadString(UINT id, char* buffer, int maxCount) {
  std::string text;
  if (!buffer || maxCount <= 0 || !ui::FindString(id, &text)) return 0;
  std::size_t n = std::min<std::size_t>(text.size(), static_cast<std::size_t>(maxCount - 1));
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
  return static_cast<int>(n);
}

BOOL CString::LoadString(UINT id) {
  std::string text;
  if (!ui::FindString(id, &text)) return FALSE;
  m_str = std::move(text);
  return TRUE;
}
