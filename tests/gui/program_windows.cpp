#include "tests/gui/program_windows.h"

#include "tests/gui/wait_until.h"

namespace gui_test {
namespace {

std::vector<ui::wx::X11Client> ClientsOf(pid_t pid) {
  std::vector<ui::wx::X11Client> all, mine;
  ui::wx::ListX11Clients(&all);
  for (auto& c : all)
    if (c.pid == static_cast<std::uint32_t>(pid)) mine.push_back(c);
  return mine;
}

}  // namespace

std::optional<xcb_window_t> FindMonitorWindow(pid_t pid) {
  for (const auto& c : ClientsOf(pid))
    if (c.title == "Pellorin") return static_cast<xcb_window_t>(c.id);
  return std::nullopt;
}

std::optional<xcb_window_t> FindShownSplash(const XSession& x, pid_t pid) {
  xcb_atom_t type = x.Atom("_NET_WM_WINDOW_TYPE");
  xcb_atom_t splash = x.Atom("_NET_WM_WINDOW_TYPE_SPLASH");
  for (const auto& c : ClientsOf(pid)) {
    auto window = static_cast<xcb_window_t>(c.id);
    auto types = x.Cardinals(window, type, XCB_ATOM_ATOM);
    if (!types.empty() && types[0] == splash && x.IsViewable(window)) return window;
  }
  return std::nullopt;
}

std::optional<xcb_window_t> WaitForShownMonitor(const XSession& x, pid_t pid,
                                                std::chrono::milliseconds timeout) {
  std::optional<xcb_window_t> monitor;
  WaitUntil(
      [&] {
        if (!monitor) monitor = FindMonitorWindow(pid);
        return monitor && x.IsViewable(*monitor);
      },
      timeout, std::chrono::milliseconds(2));
  if (monitor && x.IsViewable(*monitor)) return monitor;
  return std::nullopt;
}

bool WaitForSplashToComeAndGo(const XSession& x, pid_t pid, std::chrono::milliseconds timeout) {
  return WaitUntil([&] { return FindShownSplash(x, pid).has_value(); }, timeout) &&
         WaitUntil([&] { return !FindShownSplash(x, pid); }, timeout);
}

}  // namespace gui_test
