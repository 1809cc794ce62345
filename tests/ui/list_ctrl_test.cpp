// The report list: columns, rows, cells read back whole, and writes that address nothing.
#include "platform/ui/list_ctrl.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/ui/detail/window_registry.h"
#include "platform/ui/window.h"

namespace {

class ListTest : public ::testing::Test {
 protected:
  ListTest() {
    ui::WindowState state;
    state.kind = ui::WindowKind::kListView;
    state.wnd = &list_;
    list_.m_hWnd = ui::CreateWindowState(std::move(state));
  }
  ~ListTest() override { DestroyWindow(list_.m_hWnd); }
  CListCtrl list_;
};

TEST_F(ListTest, RowsKeepInsertionOrderAndCellsReadBackWhole) {
  EXPECT_EQ(list_.InsertColumn(0, "A", LVCFMT_LEFT, 30), 0);
  EXPECT_EQ(list_.InsertColumn(1, "B", LVCFMT_LEFT, 30), 1);
  EXPECT_EQ(list_.InsertItem(0, "first"), 0);
  EXPECT_EQ(list_.InsertItem(LVIF_TEXT, 5, "second", 0, 0, 0, 0), 1);  // clamped to the end
  std::string long_text(300, 'x');
  EXPECT_TRUE(list_.SetItem(1, 1, LVIF_TEXT, long_text.c_str(), 0, 0, 0, 0));
  EXPECT_EQ(list_.GetItemCount(), 2);
  EXPECT_EQ(list_.GetItemText(0, 0), "first");
  EXPECT_EQ(list_.GetItemText(1, 0), "second");
  EXPECT_EQ(list_.GetItemText(1, 1).str(), long_text);
  EXPECT_EQ(list_.GetItemText(0, 1), "");
}

TEST_F(ListTest, WritesToCellsThatDoNotExistChangeNothing) {
  list_.InsertColumn(0, "A", LVCFMT_LEFT, 30);
  list_.InsertItem(0, "only");
  EXPECT_FALSE(list_.SetItem(1, 0, LVIF_TEXT, "no row", 0, 0, 0, 0));
  EXPECT_FALSE(list_.SetItem(0, 1, LVIF_TEXT, "no column", 0, 0, 0, 0));
  EXPECT_FALSE(list_.SetItem(-1, 0, LVIF_TEXT, "negative", 0, 0, 0, 0));
  EXPECT_EQ(list_.GetItemText(5, 0), "");
  EXPECT_EQ(list_.GetItemText(0, 9), "");
  EXPECT_EQ(list_.GetItemCount(), 1);
  EXPECT_EQ(list_.GetItemText(0, 0), "only");
}

TEST_F(ListTest, DeleteAllItemsKeepsTheColumns) {
  list_.InsertColumn(0, "A", LVCFMT_LEFT, 30);
  list_.InsertItem(0, "a");
  list_.InsertItem(1, "b");
  EXPECT_TRUE(list_.DeleteAllItems());
  EXPECT_EQ(list_.GetItemCount(), 0);
  std::lock_guard lock(ui::WindowMutex());
  EXPECT_EQ(ui::FindWindowState(list_.m_hWnd)->columns.size(), 1u);
}

TEST(ListWithoutWindow, EveryOperationIsHarmless) {
  CListCtrl list;
  EXPECT_EQ(list.GetItemCount(), 0);
  EXPECT_EQ(list.InsertColumn(0, "A", LVCFMT_LEFT, 10), -1);
  EXPECT_EQ(list.InsertItem(0, "x"), -1);
  EXPECT_FALSE(list.SetItemText(0, 0, "x"));
  EXPECT_EQ(list.GetItemText(0, 0), "");
}

}  // namespace
