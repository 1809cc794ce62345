// Dialog-template geometry in pixels: templates place controls in dialog units (a quarter of
// the dialog font's average character width across, an eighth of its height down), and list
// columns in pixels of the original 8-point font, whose average character was 6 px wide.
#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include "platform/ui/detail/window_registry.h"

namespace ui::wx {

// Pixel width of a text in the dialog font.
using TextWidth = std::function<int(std::string_view)>;

struct DialogBaseUnits {
  double x = 6;  // pixels per 4 horizontal dialog units
  int y = 13;    // pixels per 8 vertical dialog units

  int ToPixelsX(int units) const;
  int ToPixelsY(int units) const;
};

// The base units of a font, by the rule dialog templates were laid out with: the average width
// of the 52 letters, rounded to whole pixels, and the character height.
DialogBaseUnits MeasureBaseUnits(const TextWidth& width, int char_height);

// Column widths in pixels. Cells mostly hold digits and capitals, so the original widths scale
// by their average width (or the font's average character, if larger) relative to 6 px; a
// column is widened where its header would be cut.
std::vector<int> ColumnPixelWidths(const std::vector<ListColumn>& columns, const TextWidth& width);

// The factor by which a dialog must be laid out wider so that a list `list_px` wide, of which
// `chrome_px` go to its border and scroll bar, shows `columns_px` of columns uncut; 1 when
// they already fit.
double StretchToFitColumns(int list_px, int chrome_px, int columns_px);

}  // namespace ui::wx
