#include "platform/ui/wx/message_box_dialog.h"

#include <wx/artprov.h>
#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "platform/ui/wx/gtk_glue.h"
#include "platform/ui/wx/model_input.h"
#include "platform/ui/wx/top_level_window.h"

namespace ui::wx {
namespace {

constexpr UINT kIconMask = 0xF0;

}  // namespace

MessageBoxDialog::MessageBoxDialog(const WindowSnapshot& snapshot, wxWindow* owner)
    : wxDialog(owner, wxID_ANY, wxString::FromUTF8(snapshot.state.text), wxDefaultPosition,
               wxDefaultSize, wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX) {
  HWND hwnd = snapshot.state.hwnd;
  auto* message = new wxBoxSizer(wxHORIZONTAL);
  if ((snapshot.state.message_box_type & kIconMask) == MB_ICONSTOP)
    message->Add(new wxStaticBitmap(this, wxID_ANY,
                                    wxArtProvider::GetBitmapBundle(wxART_ERROR, wxART_MESSAGE_BOX)),
                 wxSizerFlags().Top().Border(wxRIGHT, 2 * wxSizerFlags::GetDefaultBorder()));
  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  for (const WindowSnapshot& child : snapshot.children) {
    const WindowState& c = child.state;
    if (c.kind == WindowKind::kStatic) {
      auto* text = new wxStaticText(this, wxID_ANY, wxString());
      text->SetLabelText(wxString::FromUTF8(c.text));
      message->Add(text, wxSizerFlags().CentreVertical());
    } else if (c.kind == WindowKind::kButton) {
      auto* button = new wxButton(this, wxID_ANY, wxString::FromUTF8(c.text));
      HWND control = c.hwnd;
      button->Bind(wxEVT_BUTTON, [control](wxCommandEvent&) { PostButtonClick(control); });
      buttons->Add(button, wxSizerFlags().Border(wxLEFT | wxRIGHT));
      buttons_[control] = button;
      if (c.focused || buttons_.size() == 1) button->SetFocus();
    }
  }
  auto* layout = new wxBoxSizer(wxVERTICAL);
  layout->Add(message, wxSizerFlags().DoubleBorder());
  layout->Add(buttons, wxSizerFlags().Centre().DoubleBorder(wxLEFT | wxRIGHT | wxBOTTOM));
  SetSizerAndFit(layout);
  SetSizeHints(GetSize(), GetSize());
  if (owner)
    CentreOnParent();
  else
    CentreOnScreen();
  BindTopLevelInput(this, hwnd, true, [this] { return FocusedControl(buttons_); });
  CreateNativeWindow(this);
  MakeModal(this);
}

void MessageBoxDialog::Sync(const WindowSnapshot& snapshot, unsigned changes) {
  SyncTopLevel(this, snapshot, changes);
}

}  // namespace ui::wx
