#include "platform/ui/list_ctrl.h"

#include <algorithm>

#include "platform/ui/detail/window_registry.h"
#include "platform/ui/display.h"
#include "platform/ui/window.h"

namespace {

// Changes the record of a list control; other windows are left alone.
template <typename Fn>
void ChangeList(HWND hwnd, ui::Change change, Fn&& fn) {
  ui::ChangeWindow(hwnd, change, [&](ui::WindowState& w) {
    return w.kind == ui::WindowKind::kListView && fn(w);
  });
}

std::size_t CellsPerRow(const ui::WindowState& w) {
  return std::max<std::size_t>(w.columns.size(), 1);
}

}  // namespace

int CListCtrl::GetItemCount() const {
  return static_cast<int>(::SendMessage(m_hWnd, LVM_GETITEMCOUNT, 0, 0));
}

int CListCtrl::InsertColumn(int col, const char* heading, int format, int width, int /*subItem*/) {
  int index = -1;
  ChangeList(m_hWnd, ui::Change::kColumns, [&](ui::WindowState& w) {
    if (col < 0) return false;
    auto at = std::min<std::size_t>(static_cast<std::size_t>(col), w.columns.size());
    w.columns.insert(w.columns.begin() + static_cast<std::ptrdiff_t>(at),
                     ui::ListColumn{heading ? heading : "", width, format});
    for (auto& row : w.rows)
      if (row.size() < w.columns.size()) row.resize(w.columns.size());
    index = static_cast<int>(at);
    return true;
  });
  return index;
}

int CListCtrl::InsertItem(UINT mask, int item, const char* text, UINT, UINT, int, LPARAM) {
  int index = -1;
  ChangeList(m_hWnd, ui::Change::kCells, [&](ui::WindowState& w) {
    if (item < 0) return false;
    auto at = std::min<std::size_t>(static_cast<std::size_t>(item), w.rows.size());
    std::vector<std::string> row(CellsPerRow(w));
    if ((mask & LVIF_TEXT) && text) row[0] = text;
    w.rows.insert(w.rows.begin() + static_cast<std::ptrdiff_t>(at), std::move(row));
    index = static_cast<int>(at);
    return true;
  });
  return index;
}

int CListCtrl::InsertItem(int item, const char* text) {
  return InsertItem(LVIF_TEXT, item, text, 0, 0, 0, 0);
}

BOOL CListCtrl::SetItem(int item, int subItem, UINT mask, const char* text, int, UINT, UINT,
                        LPARAM) {
  if (!(mask & LVIF_TEXT)) return FALSE;
  bool exists = false;
  ChangeList(m_hWnd, ui::Change::kCells, [&](ui::WindowState& w) {
    if (item < 0 || subItem < 0 || static_cast<std::size_t>(item) >= w.rows.size()) return false;
    auto& row = w.rows[static_cast<std::size_t>(item)];
    if (static_cast<std::size_t>(subItem) >= row.size()) return false;
    exists = true;
    std::string& cell = row[static_cast<std::size_t>(subItem)];
    if (cell == (text ? text : "")) return false;
    cell = text ? text : "";
    return true;
  });
  return exists ? TRUE : FALSE;
}

BOOL CListCtrl::SetItemText(int item, int subItem, const char* text) {
  return SetItem(item, subItem, LVIF_TEXT, text, 0, 0, 0, 0);
}

CString CListCtrl::GetItemText(int item, int subItem) const {
  std::lock_guard lock(ui::WindowMutex());
  const ui::WindowState* w = ui::FindWindowState(m_hWnd);
  if (!w || item < 0 || subItem < 0 || static_cast<std::size_t>(item) >= w->rows.size())
    return CString();
  const auto& row = w->rows[static_cast<std::size_t>(item)];
  if (static_cast<std::size_t>(subItem) >= row.size()) return CString();
  return CString(row[static_cast<std::size_t>(subItem)]);
}

BOOL CListCtrl::DeleteAllItems() {
  return static_cast<BOOL>(::SendMessage(m_hWnd, LVM_DELETEALLITEMS, 0, 0));
}
