// What the display needs from GTK below wx: starting it on the display thread, X windows that
// exist (titled, unmapped) before they are shown, the splash window type, and noticing when
// another program maps one of our hidden windows.
#pragma once

#include <functional>

class wxTopLevelWindow;

namespace ui::wx {

// Before wx starts GTK: keep the process's locale as it is (other threads format text), and
// use X11 whenever there is an X display, so that the windows can be found by title.
void PrepareGtk();
// True when GTK drives an X11 display.
bool GtkUsesX11();
// Creates the window's X window now, unmapped, with its title and hints.
void CreateNativeWindow(wxTopLevelWindow* window);
// Makes a dialog application-modal: while it is shown, the other windows take no input.
void MakeModal(wxTopLevelWindow* window);
// Marks a window as a splash screen for the window manager (before it is shown); it never takes
// the keyboard focus.
void MarkAsSplash(wxTopLevelWindow* window);
// Calls `mapped` when the X window is mapped while wx holds it hidden (GTK then unmaps it
// again, so the caller has to show it through the model).
void WatchForeignMap(wxTopLevelWindow* window, std::function<void()> mapped);

}  // namespace ui::wx
