// The application's resources: string table, dialog templates, icons and bitmaps. The
// application hands its table to the layer at start-up; the layer looks entries up by id/name.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/win_types.h"

namespace ui {

enum class ControlClass { kButton, kStatic, kListView };

struct DialogItem {
  int id;
  ControlClass control;
  std::string_view text;  // button or static text; for a picture, the bitmap's name
  int x, y, cx, cy;       // dialog units
  DWORD style;
};

struct DialogTemplate {
  UINT id;
  std::string_view caption;
  DWORD style;
  DWORD ex_style;
  int cx, cy;  // dialog units
  std::string_view font_face;
  int font_points;
  std::vector<DialogItem> items;
};

// An image in XPM form; width and height are read from its header.
struct ImageResource {
  std::string_view name;
  const char* const* xpm;
  int Width() const;
  int Height() const;
};

struct StringEntry {
  UINT id;
  std::string_view text;
};

struct ResourceTable {
  std::vector<StringEntry> strings;
  std::vector<DialogTemplate> dialogs;
  std::vector<ImageResource> icons;    // named by their decimal id
  std::vector<ImageResource> bitmaps;  // named by name, or by decimal id
};

void SetResources(const ResourceTable* table);
const DialogTemplate* FindDialogTemplate(UINT id);
const ImageResource* FindIcon(std::string_view name);
const ImageResource* FindBitmap(std::string_view name);
bool FindString(UINT id, std::string* out);

}  // namespace ui

// Copies string-table entry id into buffer (cut to maxCount - 1 bytes); returns its length,
// 0 when there is no such entry.
int LoadString(UINT id, char* buffer, int maxCount);
