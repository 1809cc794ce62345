#include "platform/ui/wx/dialog_units.h"

#include <algorithm>
#include <cmath>

namespace ui::wx {
namespace {

constexpr std::string_view kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr double kOriginalCharWidth = 6.0;
// Room a header needs beside its text: the list draws it inset from both edges.
constexpr int kHeaderPadding = 16;

}  // namespace

int DialogBaseUnits::ToPixelsX(int units) const {
  return static_cast<int>(std::lround(units * x / 4));
}

int DialogBaseUnits::ToPixelsY(int units) const { return (units * y + 4) / 8; }

DialogBaseUnits MeasureBaseUnits(const TextWidth& width, int char_height) {
  int letters = width(kLetters);
  return DialogBaseUnits{static_cast<double>((letters / 26 + 1) / 2), char_height};
}

std::vector<int> ColumnPixelWidths(const std::vector<ListColumn>& columns, const TextWidth& width) {
  double average = width(kLetters) / 52.0;
  double cell_char = std::max(average, width("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ") / 36.0);
  std::vector<int> widths;
  for (const ListColumn& column : columns) {
    int scaled = static_cast<int>(std::ceil(column.width_px * cell_char / kOriginalCharWidth));
    widths.push_back(std::max(scaled, width(column.header) + kHeaderPadding));
  }
  return widths;
}

double StretchToFitColumns(int list_px, int chrome_px, int columns_px) {
  int room = list_px - chrome_px;
  if (room <= 0 || columns_px <= room) return 1.0;
  return static_cast<double>(columns_px + chrome_px) / list_px;
}

}  // namespace ui::wx
