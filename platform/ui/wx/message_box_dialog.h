// A message box of the window model as the desktop shows one: a modal dialog over the
// application's main window, captioned with the application's name, with the stop icon when
// the box asks for it, the text, and its buttons.
#pragma once

#include <wx/dialog.h>

#include <map>

#include "platform/ui/wx/mirrored_window.h"

namespace ui::wx {

class MessageBoxDialog : public wxDialog, public MirroredWindow {
 public:
  MessageBoxDialog(const WindowSnapshot& snapshot, wxWindow* owner);

  wxTopLevelWindow* TopLevel() override { return this; }
  bool IsMessageBox() const override { return true; }
  void Sync(const WindowSnapshot& snapshot, unsigned changes) override;

 private:
  std::map<HWND, wxWindow*> buttons_;
};

}  // namespace ui::wx
