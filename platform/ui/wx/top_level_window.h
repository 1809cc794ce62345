// What every mirrored top-level window does alike: pass the user's close requests, minimising
// and dialog keys to the model, and follow the model's title, icon and visibility.
#pragma once

#include <wx/toplevel.h>

#include <functional>
#include <map>

#include "platform/ui/wx/model_snapshot.h"

namespace ui::wx {

// `focused_control` names the model control that has the keyboard focus, or null. A window
// without a caption offers the user no way to close it: close requests are dropped.
void BindTopLevelInput(wxTopLevelWindow* window, HWND hwnd, bool user_can_close,
                       std::function<HWND()> focused_control);
void SyncTopLevel(wxTopLevelWindow* window, const WindowSnapshot& snapshot, unsigned changes);
// The model control among `controls` that holds the keyboard focus, or null.
HWND FocusedControl(const std::map<HWND, wxWindow*>& controls);

}  // namespace ui::wx
