// A report list of the window model, shown as a virtual list: its rows and cells stay in the
// model and are read, under the model's lock, while the list draws them.
#pragma once

#include <wx/listctrl.h>

#include <vector>

#include "platform/ui/detail/window_registry.h"

namespace ui::wx {

class ReportListView : public wxListCtrl {
 public:
  ReportListView(wxWindow* parent, HWND hwnd, const wxPoint& position, const wxSize& size,
                 bool border);

  // Replaces the columns when they differ from those shown.
  void SetColumns(const std::vector<ListColumn>& columns, const std::vector<int>& widths);
  // The model's rows changed: show their number and redraw.
  void RowsChanged(std::size_t rows);
  // Pixels the list itself takes beside its columns: border and vertical scroll bar.
  int ChromeWidth() const;

 protected:
  wxString OnGetItemText(long item, long column) const override;

 private:
  HWND hwnd_;
  std::vector<ListColumn> columns_;
  std::vector<int> widths_;
};

}  // namespace ui::wx
