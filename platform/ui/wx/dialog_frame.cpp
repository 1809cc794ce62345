#include "platform/ui/wx/dialog_frame.h"

#include <wx/button.h>
#include <wx/dcclient.h>
#include <wx/settings.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include <algorithm>

#include "platform/ui/resources.h"
#include "platform/ui/wx/bitmap_push_button.h"
#include "platform/ui/wx/gtk_glue.h"
#include "platform/ui/wx/images.h"
#include "platform/ui/wx/model_input.h"
#include "platform/ui/wx/pending_changes.h"
#include "platform/ui/wx/report_list_view.h"
#include "platform/ui/wx/top_level_window.h"

namespace ui::wx {
namespace {

// Widths of the edges a captionless window draws itself: the raised modal frame (two lines and
// one of the face colour) and the sunken client edge.
constexpr int kModalFrame = 3;
constexpr int kClientEdge = 2;

constexpr DWORD kButtonTypeMask = 0x0F;
constexpr DWORD kStaticTypeMask = 0x1F;
constexpr DWORD kStaticAlignMask = 0x03;
constexpr DWORD SS_RIGHT = 0x02;

bool HasCaption(DWORD style) { return (style & WS_CAPTION) == WS_CAPTION; }

long FrameStyle(DWORD style) {
  if (!HasCaption(style)) {
    long popup = wxBORDER_NONE | wxFRAME_NO_TASKBAR;
    return (style & DS_SYSMODAL) ? popup | wxSTAY_ON_TOP : popup;
  }
  long framed = wxCAPTION | wxCLOSE_BOX;
  if (style & WS_SYSMENU) framed |= wxSYSTEM_MENU;
  if (style & WS_MINIMIZEBOX) framed |= wxMINIMIZE_BOX;
  return framed;
}

bool IsOwnerDrawn(const WindowState& w) {
  return w.kind == WindowKind::kButton && (w.style & kButtonTypeMask) == BS_OWNERDRAW;
}

bool IsPicture(const WindowState& w) {
  return w.kind == WindowKind::kStatic && (w.style & kStaticTypeMask) == SS_BITMAP;
}

long TextAlignment(DWORD style) {
  switch (style & kStaticAlignMask) {
    case SS_CENTER:
      return wxALIGN_CENTRE_HORIZONTAL;
    case SS_RIGHT:
      return wxALIGN_RIGHT;
    default:
      return wxALIGN_LEFT;
  }
}

// Changes that move or resize controls.
constexpr unsigned kLayoutChanges =
    ChangeBit(Change::kCreated) | ChangeBit(Change::kColumns) | ChangeBit(Change::kBitmaps);

}  // namespace

DialogFrame::DialogFrame(const WindowSnapshot& snapshot)
    : wxFrame(nullptr, wxID_ANY, wxString::FromUTF8(snapshot.state.text), wxDefaultPosition,
              wxDefaultSize, FrameStyle(snapshot.state.style)),
      hwnd_(snapshot.state.hwnd) {
  const WindowState& s = snapshot.state;
  if (!HasCaption(s.style)) MarkAsSplash(this);
  panel_ = new wxPanel(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL);
  if (!HasCaption(s.style) && (s.style & DS_MODALFRAME)) modal_frame_ = kModalFrame;
  if (s.ex_style & WS_EX_CLIENTEDGE) client_edge_ = kClientEdge;
  edge_ = modal_frame_ + client_edge_;
  if (edge_) Bind(wxEVT_PAINT, &DialogFrame::PaintEdges, this);
  Bind(wxEVT_SIZE, [this](wxSizeEvent&) {
    wxSize client = GetClientSize();
    panel_->SetSize(edge_, edge_, client.x - 2 * edge_, client.y - 2 * edge_);
    Refresh();
  });
  font_units_ = MeasureBaseUnits(
      [this](std::string_view text) {
        return panel_->GetTextExtent(wxString::FromUTF8(text.data(), text.size())).x;
      },
      panel_->GetCharHeight());
  units_ = font_units_;
  BindTopLevelInput(this, hwnd_, HasCaption(s.style), [this] { return FocusedControl(controls_); });
  for (const WindowSnapshot& child : snapshot.children) CreateControl(child);
  PlaceControls(snapshot);
  if (s.style & DS_CENTER) CentreOnScreen();
  CreateNativeWindow(this);
  WatchForeignMap(this, [hwnd = hwnd_] { MirrorShownFromOutside(hwnd); });
}

wxWindow* DialogFrame::CreateControl(const WindowSnapshot& control) {
  const WindowState& s = control.state;
  wxRect r = PixelRect(s);
  wxWindow* created;
  HWND hwnd = s.hwnd;
  switch (s.kind) {
    case WindowKind::kButton:
      if (IsOwnerDrawn(s)) {
        created = new BitmapPushButton(panel_, hwnd, r.GetPosition(), r.GetSize());
      } else {
        auto* button = new wxButton(panel_, wxID_ANY, wxString::FromUTF8(s.text), r.GetPosition(),
                                    r.GetSize());
        button->Bind(wxEVT_BUTTON, [hwnd](wxCommandEvent&) { PostButtonClick(hwnd); });
        created = button;
      }
      break;
    case WindowKind::kStatic:
      if (IsPicture(s))
        created = new wxStaticBitmap(panel_, wxID_ANY,
                                     BitmapNamed(s.bitmap_names.empty() ? "" : s.bitmap_names[0]),
                                     r.GetPosition());
      else
        created = new wxStaticText(panel_, wxID_ANY, wxString::FromUTF8(s.text), r.GetPosition(),
                                   r.GetSize(), wxST_NO_AUTORESIZE | TextAlignment(s.style));
      break;
    case WindowKind::kListView:
    default:
      created = new ReportListView(panel_, hwnd, r.GetPosition(), r.GetSize(),
                                   (s.style & WS_BORDER) != 0);
      break;
  }
  if (!s.visible) created->Hide();
  created->Enable(s.enabled);
  controls_[hwnd] = created;
  return created;
}

void DialogFrame::Sync(const WindowSnapshot& snapshot, unsigned changes) {
  for (auto it = controls_.begin(); it != controls_.end();) {
    bool gone = std::none_of(snapshot.children.begin(), snapshot.children.end(),
                             [&](const WindowSnapshot& c) { return c.state.hwnd == it->first; });
    if (gone) {
      it->second->Destroy();
      it = controls_.erase(it);
    } else {
      ++it;
    }
  }
  for (const WindowSnapshot& child : snapshot.children) {
    auto it = controls_.find(child.state.hwnd);
    if (it == controls_.end()) {
      CreateControl(child);
      changes |= ChangeBit(Change::kCreated);
    }
  }
  if (changes & kLayoutChanges) PlaceControls(snapshot);
  for (const WindowSnapshot& child : snapshot.children)
    SyncControl(controls_[child.state.hwnd], child, changes);
  SyncTopLevel(this, snapshot, changes);
  if (changes & ChangeBit(Change::kFocus))
    for (const WindowSnapshot& child : snapshot.children)
      if (child.state.focused) controls_[child.state.hwnd]->SetFocus();
}

void DialogFrame::SyncControl(wxWindow* control, const WindowSnapshot& snapshot, unsigned changes) {
  const WindowState& s = snapshot.state;
  if (control->IsShown() != s.visible) control->Show(s.visible);
  if (control->IsThisEnabled() != s.enabled) control->Enable(s.enabled);
  wxString text = wxString::FromUTF8(s.text);
  if (auto* button = dynamic_cast<BitmapPushButton*>(control)) {
    button->SetBitmaps(s.bitmap_names);
  } else if (auto* list = dynamic_cast<ReportListView*>(control)) {
    if (changes & (ChangeBit(Change::kCells) | ChangeBit(Change::kCreated)))
      list->RowsChanged(snapshot.row_count);
  } else if (auto* label = dynamic_cast<wxStaticText*>(control)) {
    if (label->GetLabelText() != text) label->SetLabelText(text);
  } else if (auto* push = dynamic_cast<wxButton*>(control)) {
    if (push->GetLabel() != text) push->SetLabel(text);
  }
}

void DialogFrame::PlaceControls(const WindowSnapshot& snapshot) {
  auto text_width = [this](std::string_view text) {
    return panel_->GetTextExtent(wxString::FromUTF8(text.data(), text.size())).x;
  };
  // Widths of each list's columns, and how much wider the dialog must be for them.
  std::map<HWND, std::vector<int>> column_widths;
  double stretch = 1.0;
  for (const WindowSnapshot& child : snapshot.children) {
    auto* list = dynamic_cast<ReportListView*>(controls_[child.state.hwnd]);
    if (!list) continue;
    std::vector<int>& widths = column_widths[child.state.hwnd];
    widths = ColumnPixelWidths(child.state.columns, text_width);
    int total = 0;
    for (int w : widths) total += w;
    stretch =
        std::max(stretch, StretchToFitColumns(font_units_.ToPixelsX(child.state.dialog_units.right),
                                              list->ChromeWidth(), total));
  }
  units_ = DialogBaseUnits{font_units_.x * stretch, font_units_.y};
  for (const WindowSnapshot& child : snapshot.children) {
    wxWindow* control = controls_[child.state.hwnd];
    control->SetSize(PixelRect(child.state));
    if (auto* list = dynamic_cast<ReportListView*>(control))
      list->SetColumns(child.state.columns, column_widths[child.state.hwnd]);
  }
  const RECT& du = snapshot.state.dialog_units;
  // The template fixes the size: the user cannot resize or maximise the window.
  wxSize client =
      wxSize(units_.ToPixelsX(du.right) + 2 * edge_, units_.ToPixelsY(du.bottom) + 2 * edge_);
  SetMinClientSize(wxDefaultSize);
  SetMaxClientSize(client);
  SetMinClientSize(client);
  SetClientSize(client);
}

wxRect DialogFrame::PixelRect(const WindowState& control) const {
  const RECT& du = control.dialog_units;
  wxRect r(units_.ToPixelsX(du.left), units_.ToPixelsY(du.top), units_.ToPixelsX(du.right),
           units_.ToPixelsY(du.bottom));
  // A control sized by its bitmap (a picture, a bitmap button) keeps the middle of the place
  // the template gives it: the template was drawn for the bitmap at the original font.
  wxSize size;
  if (control.width_px > 0 && control.height_px > 0) {
    size = wxSize(control.width_px, control.height_px);
  } else if (IsPicture(control) && !control.bitmap_names.empty()) {
    if (const ImageResource* image = FindBitmap(control.bitmap_names[0]))
      size = wxSize(image->Width(), image->Height());
  }
  if (size.x > 0 && size.y > 0)
    r = wxRect(r.GetLeft() + (r.width - size.x) / 2, r.GetTop() + (r.height - size.y) / 2, size.x,
               size.y);
  return r;
}

// The edges Windows-style dialogs draw: a raised modal frame outside, a sunken edge inside.
void DialogFrame::PaintEdges(wxPaintEvent&) {
  wxPaintDC dc(this);
  wxRect r(GetClientSize());
  auto line = [&](wxSystemColour top_left, wxSystemColour bottom_right, int inset) {
    wxRect e = r.Deflate(inset);
    dc.SetPen(wxPen(wxSystemSettings::GetColour(top_left)));
    dc.DrawLine(e.GetLeft(), e.GetBottom(), e.GetLeft(), e.GetTop());
    dc.DrawLine(e.GetLeft(), e.GetTop(), e.GetRight(), e.GetTop());
    dc.SetPen(wxPen(wxSystemSettings::GetColour(bottom_right)));
    dc.DrawLine(e.GetRight(), e.GetTop(), e.GetRight(), e.GetBottom());
    dc.DrawLine(e.GetRight(), e.GetBottom(), e.GetLeft() - 1, e.GetBottom());
  };
  if (modal_frame_) {
    line(wxSYS_COLOUR_3DLIGHT, wxSYS_COLOUR_3DDKSHADOW, 0);
    line(wxSYS_COLOUR_3DHIGHLIGHT, wxSYS_COLOUR_3DSHADOW, 1);
  }
  if (client_edge_) {
    line(wxSYS_COLOUR_3DSHADOW, wxSYS_COLOUR_3DHIGHLIGHT, modal_frame_);
    line(wxSYS_COLOUR_3DDKSHADOW, wxSYS_COLOUR_3DLIGHT, modal_frame_ + 1);
  }
}

}  // namespace ui::wx
