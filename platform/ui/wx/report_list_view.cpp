#include "platform/ui/wx/report_list_view.h"

#include <wx/settings.h>

#include "platform/ui/wx/cell_text.h"

namespace ui::wx {
namespace {

wxListColumnFormat FormatOf(int format) {
  switch (format & 3) {
    case 1:
      return wxLIST_FORMAT_RIGHT;
    case 2:
      return wxLIST_FORMAT_CENTRE;
    default:
      return wxLIST_FORMAT_LEFT;
  }
}

}  // namespace

ReportListView::ReportListView(wxWindow* parent, HWND hwnd, const wxPoint& position,
                               const wxSize& size, bool border)
    : wxListCtrl(parent, wxID_ANY, position, size,
                 wxLC_REPORT | wxLC_VIRTUAL | wxLC_SINGLE_SEL |
                     (border ? wxBORDER_SUNKEN : wxBORDER_NONE)),
      hwnd_(hwnd) {}

int ReportListView::ChromeWidth() const {
  return (GetSize().x - GetClientSize().x) + wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, this);
}

void ReportListView::SetColumns(const std::vector<ListColumn>& columns,
                                const std::vector<int>& widths) {
  bool same = columns.size() == columns_.size() && widths == widths_;
  for (std::size_t i = 0; same && i < columns.size(); ++i)
    same = columns[i].header == columns_[i].header && columns[i].format == columns_[i].format;
  if (same) return;
  DeleteAllColumns();
  for (std::size_t i = 0; i < columns.size(); ++i)
    AppendColumn(wxString::FromUTF8(columns[i].header), FormatOf(columns[i].format), widths[i]);
  columns_ = columns;
  widths_ = widths;
}

void ReportListView::RowsChanged(std::size_t rows) {
  if (static_cast<std::size_t>(GetItemCount()) != rows) SetItemCount(static_cast<long>(rows));
  Refresh();
}

wxString ReportListView::OnGetItemText(long item, long column) const {
  std::string cell;
  {
    std::lock_guard lock(WindowMutex());
    const WindowState* w = FindWindowState(hwnd_);
    if (!w || item < 0 || column < 0 || static_cast<std::size_t>(item) >= w->rows.size())
      return wxString();
    const auto& row = w->rows[static_cast<std::size_t>(item)];
    if (static_cast<std::size_t>(column) >= row.size()) return wxString();
    cell = row[static_cast<std::size_t>(column)];
  }
  return wxString::FromUTF8(VisibleCellText(cell));
}

}  // namespace ui::wx
