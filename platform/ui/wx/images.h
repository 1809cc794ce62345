// The application's XPM images as wx bitmaps and icons. The art is drawn on a pixel grid, so at
// a display scale of 2 or more it is enlarged by whole pixels, never smoothed.
#pragma once

#include <wx/bmpbndl.h>
#include <wx/iconbndl.h>

#include "platform/ui/resources.h"

namespace ui::wx {

// Empty when there is no image of that name.
wxBitmapBundle BitmapNamed(std::string_view name);
wxIconBundle IconNamed(std::string_view name);

}  // namespace ui::wx
