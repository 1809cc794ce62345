// The parts of the wx display that need no screen: how cell bytes are drawn, the dialog-unit
// and column geometry, and the merging of model changes for the display thread.
#include <gtest/gtest.h>

#include <cctype>

#include "platform/ui/wx/cell_text.h"
#include "platform/ui/wx/dialog_units.h"
#include "platform/ui/wx/pending_changes.h"

namespace ui::wx {
namespace {

TEST(VisibleCellTextTest, ShowsEveryByteVisibly) {
  struct Case {
    std::string bytes;
    std::string shown;
  };
  const Case cases[] = {
      {"ALDER", "ALDER"},
      {"", ""},
      {std::string("A\0B", 3), "A\\x00B"},
      {"TAB\tEND\x7F", "TAB\\x09END\\x7F"},
      {"SK\xC3\x85NE", "SK\xC3\x85NE"},           // UTF-8 stays as it is
      {"CAF\xC9", "CAF\xC3\x89"},                 // a lone Latin-1 byte
      {"\xC3", "\xC3\x83"},                       // a cut UTF-8 sequence: Latin-1
      {"\xE2\x82", "\xC3\xA2\\x82"},              // ... whose second byte is a control
      {"\x85 NEL", "\\x85 NEL"},                  // C1 control, one byte
      {"\xC2\x85 NEL", "\\xC2\\x85 NEL"},         // C1 control, in UTF-8
      {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\\x80"},  // a surrogate is no UTF-8
      {"\xC0\xAF", "\xC3\x80\xC2\xAF"},           // nor is an overlong form
  };
  for (const Case& c : cases) EXPECT_EQ(VisibleCellText(c.bytes), c.shown) << c.bytes;
}

// A font whose every character is `width` pixels wide, capitals and digits `wide` pixels.
TextWidth FixedFont(int width, int wide) {
  return [=](std::string_view text) {
    int total = 0;
    for (unsigned char c : text) total += (std::isupper(c) || std::isdigit(c)) ? wide : width;
    return total;
  };
}

TEST(DialogUnitsTest, BaseUnitsFollowTheAverageLetterAndTheCharacterHeight) {
  // 26 capitals of 9 px and 26 small letters of 7 px: 416 px, average 8.
  DialogBaseUnits units = MeasureBaseUnits(FixedFont(7, 9), 17);
  EXPECT_EQ(units.x, 8);
  EXPECT_EQ(units.y, 17);
  EXPECT_EQ(units.ToPixelsX(279), 558);
  EXPECT_EQ(units.ToPixelsY(226), 480);
  // The original 8-point font: 6 x 13.
  DialogBaseUnits original{6, 13};
  EXPECT_EQ(original.ToPixelsX(41), 62);  // 61.5 rounds up
  EXPECT_EQ(original.ToPixelsY(22), 36);  // 35.75
}

TEST(DialogUnitsTest, ColumnsScaleWithTheCellCharactersAndWidenForTheirHeaders) {
  std::vector<ListColumn> columns = {{"#A", 30, 0}, {"Name", 100, 0}, {"Minutes Running", 50, 0}};
  // Average character 6 px, as the original font: widths stay, but the long header needs
  // 15 * 6 + 16 = 106 px.
  EXPECT_EQ(ColumnPixelWidths(columns, FixedFont(6, 6)), (std::vector<int>{30, 100, 106}));
  // Capitals and digits of 9 px scale the columns by 9 / 6; the header now needs
  // 2 * 9 + 13 * 6 + 16 = 112 px.
  EXPECT_EQ(ColumnPixelWidths(columns, FixedFont(6, 9)), (std::vector<int>{45, 150, 112}));
}

TEST(DialogUnitsTest, DialogWidensOnlyWhenTheColumnsDoNotFit) {
  EXPECT_EQ(StretchToFitColumns(520, 20, 500), 1.0);
  EXPECT_EQ(StretchToFitColumns(520, 20, 480), 1.0);
  EXPECT_DOUBLE_EQ(StretchToFitColumns(520, 20, 604), 624.0 / 520);
}

TEST(PendingChangesTest, MergesChangesPerWindowAndWakesOncePerBatch) {
  PendingChanges pending;
  auto a = reinterpret_cast<HWND>(0x10001);
  auto b = reinterpret_cast<HWND>(0x10002);
  EXPECT_TRUE(pending.Add(b, Change::kCells));
  EXPECT_FALSE(pending.Add(b, Change::kCells));
  EXPECT_FALSE(pending.Add(a, Change::kCreated));
  EXPECT_FALSE(pending.SetWaitCursor(true));
  EXPECT_FALSE(pending.Add(b, Change::kText));
  ChangeBatch batch = pending.Take();
  ASSERT_EQ(batch.windows.size(), 2u);
  EXPECT_EQ(batch.windows.begin()->first, a) << "older windows first";
  EXPECT_EQ(batch.windows[a], ChangeBit(Change::kCreated));
  EXPECT_EQ(batch.windows[b], ChangeBit(Change::kCells) | ChangeBit(Change::kText));
  EXPECT_EQ(batch.wait_cursor, true);
  EXPECT_TRUE(pending.Take().windows.empty());
  EXPECT_TRUE(pending.Add(a, Change::kText)) << "a new batch wakes the display again";
}

}  // namespace
}  // namespace ui::wx
