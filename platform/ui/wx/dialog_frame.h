// A dialog of the window model made from a template: a frame whose controls sit where the
// template puts them, in dialog units of the dialog font. A dialog with a caption is a normal
// window with a close box and, if the template asks, a minimise box; one without a caption is
// a borderless pop-up, kept above the others when the template says so (a splash screen).
#pragma once

#include <wx/frame.h>
#include <wx/panel.h>

#include <map>

#include "platform/ui/wx/dialog_units.h"
#include "platform/ui/wx/mirrored_window.h"

namespace ui::wx {

class DialogFrame : public wxFrame, public MirroredWindow {
 public:
  explicit DialogFrame(const WindowSnapshot& snapshot);

  wxTopLevelWindow* TopLevel() override { return this; }
  bool IsMessageBox() const override { return false; }
  void Sync(const WindowSnapshot& snapshot, unsigned changes) override;

 private:
  wxWindow* CreateControl(const WindowSnapshot& control);
  void SyncControl(wxWindow* control, const WindowSnapshot& snapshot, unsigned changes);
  // Places the dialog and its controls; a list too narrow for its columns widens the dialog.
  void PlaceControls(const WindowSnapshot& snapshot);
  wxRect PixelRect(const WindowState& control) const;
  void PaintEdges(wxPaintEvent& event);

  HWND hwnd_;
  wxPanel* panel_;
  int modal_frame_ = 0;  // edges drawn around the controls: see PaintEdges
  int client_edge_ = 0;
  int edge_ = 0;
  DialogBaseUnits font_units_;
  DialogBaseUnits units_;
  std::map<HWND, wxWindow*> controls_;
};

}  // namespace ui::wx
