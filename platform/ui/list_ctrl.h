// The report list control. Its cells live in the window model; every write copies the text.
#pragma once

#include "platform/ui/cwnd.h"

class CListCtrl : public CWnd {
 public:
  int GetItemCount() const;
  // Inserts a column at `col`; returns its index or -1.
  int InsertColumn(int col, const char* heading, int format = LVCFMT_LEFT, int width = -1,
                   int subItem = -1);
  // Inserts a row at `item` (clamped to the end) with the text of its first cell; returns the
  // row's index or -1. Only LVIF_TEXT is kept: images, states and item data are not used.
  int InsertItem(UINT mask, int item, const char* text, UINT state, UINT stateMask, int image,
                 LPARAM lParam);
  int InsertItem(int item, const char* text);
  // Replaces one cell's text; FALSE when the row or column does not exist.
  BOOL SetItem(int item, int subItem, UINT mask, const char* text, int image, UINT state,
               UINT stateMask, LPARAM lParam);
  BOOL SetItemText(int item, int subItem, const char* text);
  // The cell's whole text; empty for a cell that does not exist.
  CString GetItemText(int item, int subItem) const;
  BOOL DeleteAllItems();
};
