// Finding a running copy by its window title.
//
// Where the display can enumerate the top-level windows of every program (X11), the walk
// (GetTopWindow of the desktop, GetWindow with GW_HWNDNEXT, GetWindowText) goes over those.
// Elsewhere (headless, Wayland) every process of the layer serves its top-level windows on an
// abstract Unix socket named after the user and the process; the walk lists the windows of the
// user's other processes in the same network namespace, and activation asks the owner to show,
// restore and raise its window.
#pragma once

#include <string>

#include "platform/ui/win_types.h"

namespace ui {

HWND DesktopWindowHandle();
// Takes a fresh list of foreign top-level windows; returns the first, or null.
HWND FirstForeignWindow();
HWND NextForeignWindow(HWND hwnd);
bool IsForeignWindow(HWND hwnd);
std::string ForeignWindowTitle(HWND hwnd);
void ActivateForeignWindow(HWND hwnd);

// Serves this process's top-level windows to other processes of the user.
void StartInstanceListener();
void StopInstanceListener();

}  // namespace ui
