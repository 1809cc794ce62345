// The X11 side of finding a running copy: the top-level windows of every client of the display
// with their titles, and bringing one of them to the front. It uses a connection of its own,
// through XCB, where errors come back per request: a window that vanishes during the walk is
// simply skipped, and the error handling of GTK's connection is never touched.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/ui/display.h"

namespace ui::wx {

struct X11Client {
  std::uint64_t id;
  std::string title;
  std::uint32_t pid;    // _NET_WM_PID; 0 when the client does not say
  std::string machine;  // WM_CLIENT_MACHINE
};

// Client windows of the display named by DISPLAY, topmost first, unmapped ones too; inside a
// window manager's frame, the client window (the one with WM_STATE) stands for the frame. The
// title is _NET_WM_NAME, else WM_NAME. False when the display cannot be opened.
bool ListX11Clients(std::vector<X11Client>* out);
// The same, without this process's own windows (GTK keeps a few hidden ones).
bool ListX11TopLevelWindows(std::vector<ForeignWindow>* out);

// Maps the window (which restores it when minimised), raises it and asks the window manager to
// activate it.
void ActivateX11Window(std::uint64_t id);

}  // namespace ui::wx
