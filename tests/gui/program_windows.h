// Finding the windows of a program run on the test's X server: its monitor window by title and
// its splash by window type, both among the clients that carry the program's process id.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>

#include "platform/ui/wx/x11_windows.h"
#include "tests/gui/x_session.h"

namespace gui_test {

std::optional<xcb_window_t> FindMonitorWindow(pid_t pid);
std::optional<xcb_window_t> FindShownSplash(const XSession& x, pid_t pid);
// Waits until the program's splash has come up and gone again.
bool WaitForSplashToComeAndGo(const XSession& x, pid_t pid, std::chrono::milliseconds timeout);
// Waits until the program's monitor window is shown; nothing after `timeout`.
std::optional<xcb_window_t> WaitForShownMonitor(const XSession& x, pid_t pid,
                                                std::chrono::milliseconds timeout);

}  // namespace gui_test
