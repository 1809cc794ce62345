#include "platform/ui/wx/top_level_window.h"

#include "platform/ui/wx/images.h"
#include "platform/ui/wx/mirrored_window.h"
#include "platform/ui/wx/model_input.h"
#include "platform/ui/wx/pending_changes.h"

namespace ui::wx {
namespace {

// A message box blocks the other windows of the process, as its owner is disabled meanwhile.
bool BlockedByMessageBox(const wxTopLevelWindow* window) {
  for (wxWindow* other : wxTopLevelWindows) {
    auto* mirrored = dynamic_cast<MirroredWindow*>(other);
    if (other != window && other->IsShown() && mirrored && mirrored->IsMessageBox()) return true;
  }
  return false;
}

}  // namespace

void BindTopLevelInput(wxTopLevelWindow* window, HWND hwnd, bool user_can_close,
                       std::function<HWND()> focused_control) {
  window->Bind(wxEVT_CLOSE_WINDOW, [window, hwnd, user_can_close](wxCloseEvent& event) {
    if (!event.CanVeto()) return event.Skip();
    event.Veto();
    if (user_can_close && !BlockedByMessageBox(window)) PostCloseRequest(hwnd);
  });
  window->Bind(wxEVT_ICONIZE, [hwnd](wxIconizeEvent& event) {
    MirrorIconic(hwnd, event.IsIconized());
    event.Skip();
  });
  window->Bind(wxEVT_CHAR_HOOK, [hwnd, focused_control](wxKeyEvent& event) {
    WPARAM key;
    switch (event.GetKeyCode()) {
      case WXK_ESCAPE:
        key = VK_ESCAPE;
        break;
      case WXK_RETURN:
      case WXK_NUMPAD_ENTER:
        key = VK_RETURN;
        break;
      default:
        return event.Skip();
    }
    HWND target = focused_control();
    PostKeyDown(target ? target : hwnd, key);
  });
}

void SyncTopLevel(wxTopLevelWindow* window, const WindowSnapshot& snapshot, unsigned changes) {
  const WindowState& s = snapshot.state;
  wxString title = wxString::FromUTF8(s.text);
  if (window->GetTitle() != title) window->SetTitle(title);
  if ((changes & ChangeBit(Change::kIcon)) && !s.icon_resource.empty())
    window->SetIcons(IconNamed(s.icon_resource));
  if (window->IsThisEnabled() != s.enabled) window->Enable(s.enabled);
  if (changes & ChangeBit(Change::kCentered)) window->CentreOnScreen();
  if (!s.visible) {
    if (window->IsShown()) window->Hide();
    return;
  }
  if (!window->IsShown()) window->Show();
  if (s.iconic != window->IsIconized()) window->Iconize(s.iconic);
  if (changes & ChangeBit(Change::kForeground)) window->Raise();
}

HWND FocusedControl(const std::map<HWND, wxWindow*>& controls) {
  wxWindow* focus = wxWindow::FindFocus();
  for (const auto& [hwnd, control] : controls)
    if (control == focus || control->IsDescendant(focus)) return hwnd;
  return nullptr;
}

}  // namespace ui::wx
