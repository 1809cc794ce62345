// An owner-drawn push button of the window model, drawn from its bitmaps: pressed while the
// mouse or the Space key holds it down, focused while it has the keyboard focus, disabled,
// normal otherwise. Without bitmaps it draws nothing but still takes clicks.
#pragma once

#include <wx/bmpbndl.h>
#include <wx/control.h>

#include <string>
#include <vector>

#include "platform/ui/win_types.h"

namespace ui::wx {

class BitmapPushButton : public wxControl {
 public:
  BitmapPushButton(wxWindow* parent, HWND hwnd, const wxPoint& position, const wxSize& size);

  // Names as the model keeps them: normal, pressed, focused, disabled; empty for none.
  void SetBitmaps(const std::vector<std::string>& names);
  bool AcceptsFocusFromKeyboard() const override { return IsEnabled(); }

 private:
  const wxBitmapBundle& CurrentBitmap() const;
  void OnPaint(wxPaintEvent& event);
  void OnLeftDown(wxMouseEvent& event);
  void OnMotion(wxMouseEvent& event);
  void OnLeftUp(wxMouseEvent& event);
  void OnCaptureLost(wxMouseCaptureLostEvent& event);
  void OnKeyDown(wxKeyEvent& event);
  void OnKeyUp(wxKeyEvent& event);
  void SetPressed(bool mouse, bool space);

  HWND hwnd_;
  std::vector<std::string> names_;
  wxBitmapBundle normal_, pressed_, focused_, disabled_;
  bool mouse_pressed_ = false;  // held by the mouse, pointer inside
  bool mouse_held_ = false;     // held by the mouse, pointer anywhere
  bool space_pressed_ = false;
};

}  // namespace ui::wx
