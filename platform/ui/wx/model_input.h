// Input from the screen, turned into the messages the window layer expects. Each is posted to
// the queue of the thread that owns the window; the display thread never runs a handler.
#pragma once

#include "platform/ui/win_types.h"

namespace ui::wx {

// The close box, Close on the window menu, Alt+F4.
void PostCloseRequest(HWND window);
// A key for the dialog manager: to the focused control, or to the dialog.
void PostKeyDown(HWND window, WPARAM virtual_key);
// A button was clicked: its dialog gets WM_COMMAND with (id, BN_CLICKED) and the button.
void PostButtonClick(HWND button);
// The user or the window manager minimised or restored the window: the model follows, and
// the owner repaints it.
void MirrorIconic(HWND window, bool iconic);
// Another program mapped a window the model still holds hidden (a second copy activating
// this one): the model shows it.
void MirrorShownFromOutside(HWND window);

}  // namespace ui::wx
