#include "platform/ui/wx/images.h"

#include <wx/bitmap.h>
#include <wx/icon.h>
#include <wx/image.h>
#include <wx/vector.h>

namespace ui::wx {
namespace {

// Whole-pixel enlargements offered beside the original.
constexpr int kScales[] = {1, 2, 3};

wxVector<wxBitmap> Enlargements(const ImageResource* resource) {
  wxVector<wxBitmap> bitmaps;
  if (!resource) return bitmaps;
  wxImage image(resource->xpm);
  if (!image.IsOk()) return bitmaps;
  for (int scale : kScales) {
    wxImage scaled =
        image.Scale(image.GetWidth() * scale, image.GetHeight() * scale, wxIMAGE_QUALITY_NEAREST);
    bitmaps.push_back(wxBitmap(scaled, -1, static_cast<double>(scale)));
  }
  return bitmaps;
}

}  // namespace

wxBitmapBundle BitmapNamed(std::string_view name) {
  wxVector<wxBitmap> bitmaps = Enlargements(FindBitmap(name));
  return bitmaps.empty() ? wxBitmapBundle() : wxBitmapBundle::FromBitmaps(bitmaps);
}

wxIconBundle IconNamed(std::string_view name) {
  wxIconBundle icons;
  for (const wxBitmap& bitmap : Enlargements(FindIcon(name))) {
    // Window managers take icons in plain pixels: the enlargements serve as larger sizes.
    wxIcon icon;
    icon.CopyFromBitmap(wxBitmap(bitmap.ConvertToImage()));
    icons.AddIcon(icon);
  }
  return icons;
}

}  // namespace ui::wx
