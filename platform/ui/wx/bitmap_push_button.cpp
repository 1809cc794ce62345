#include "platform/ui/wx/bitmap_push_button.h"

#include <wx/dcclient.h>

#include "platform/ui/wx/images.h"
#include "platform/ui/wx/model_input.h"

namespace ui::wx {

BitmapPushButton::BitmapPushButton(wxWindow* parent, HWND hwnd, const wxPoint& position,
                                   const wxSize& size)
    : wxControl(parent, wxID_ANY, position, size, wxBORDER_NONE), hwnd_(hwnd) {
  Bind(wxEVT_PAINT, &BitmapPushButton::OnPaint, this);
  Bind(wxEVT_LEFT_DOWN, &BitmapPushButton::OnLeftDown, this);
  Bind(wxEVT_LEFT_DCLICK, &BitmapPushButton::OnLeftDown, this);
  Bind(wxEVT_MOTION, &BitmapPushButton::OnMotion, this);
  Bind(wxEVT_LEFT_UP, &BitmapPushButton::OnLeftUp, this);
  Bind(wxEVT_MOUSE_CAPTURE_LOST, &BitmapPushButton::OnCaptureLost, this);
  Bind(wxEVT_KEY_DOWN, &BitmapPushButton::OnKeyDown, this);
  Bind(wxEVT_KEY_UP, &BitmapPushButton::OnKeyUp, this);
  Bind(wxEVT_SET_FOCUS, [this](wxFocusEvent& e) {
    Refresh();
    e.Skip();
  });
  Bind(wxEVT_KILL_FOCUS, [this](wxFocusEvent& e) {
    space_pressed_ = false;
    Refresh();
    e.Skip();
  });
}

void BitmapPushButton::SetBitmaps(const std::vector<std::string>& names) {
  if (names == names_) return;
  names_ = names;
  auto named = [&](std::size_t i) {
    return i < names.size() ? BitmapNamed(names[i]) : wxBitmapBundle();
  };
  normal_ = named(0);
  pressed_ = named(1);
  focused_ = named(2);
  disabled_ = named(3);
  Refresh();
}

const wxBitmapBundle& BitmapPushButton::CurrentBitmap() const {
  if (!IsEnabled() && disabled_.IsOk()) return disabled_;
  if ((mouse_pressed_ || space_pressed_) && pressed_.IsOk()) return pressed_;
  if (HasFocus() && focused_.IsOk()) return focused_;
  return normal_;
}

// The dialog's background shows wherever the bitmap does not cover the button.
void BitmapPushButton::OnPaint(wxPaintEvent&) {
  wxPaintDC dc(this);
  const wxBitmapBundle& bitmap = CurrentBitmap();
  if (bitmap.IsOk()) dc.DrawBitmap(bitmap.GetBitmapFor(this), 0, 0, true);
}

void BitmapPushButton::SetPressed(bool mouse, bool space) {
  if (mouse == mouse_pressed_ && space == space_pressed_) return;
  mouse_pressed_ = mouse;
  space_pressed_ = space;
  Refresh();
}

void BitmapPushButton::OnLeftDown(wxMouseEvent&) {
  SetFocus();
  if (!HasCapture()) CaptureMouse();
  mouse_held_ = true;
  SetPressed(true, space_pressed_);
}

void BitmapPushButton::OnMotion(wxMouseEvent& event) {
  if (mouse_held_) SetPressed(GetClientRect().Contains(event.GetPosition()), space_pressed_);
}

void BitmapPushButton::OnLeftUp(wxMouseEvent& event) {
  if (!mouse_held_) return;
  if (HasCapture()) ReleaseMouse();
  mouse_held_ = false;
  SetPressed(false, space_pressed_);
  if (GetClientRect().Contains(event.GetPosition())) PostButtonClick(hwnd_);
}

void BitmapPushButton::OnCaptureLost(wxMouseCaptureLostEvent&) {
  mouse_held_ = false;
  SetPressed(false, space_pressed_);
}

void BitmapPushButton::OnKeyDown(wxKeyEvent& event) {
  if (event.GetKeyCode() != WXK_SPACE) return event.Skip();
  SetPressed(mouse_pressed_, true);
}

// The click happens when Space is let go, as with any push button.
void BitmapPushButton::OnKeyUp(wxKeyEvent& event) {
  if (event.GetKeyCode() != WXK_SPACE || !space_pressed_) return event.Skip();
  SetPressed(mouse_pressed_, false);
  PostKeyDown(hwnd_, VK_SPACE);
}

}  // namespace ui::wx
