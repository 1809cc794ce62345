// An X server of the test's own: Xvfb on a free display number (it picks one and tells us),
// with openbox as window manager when the test needs one. DISPLAY points at it for the life of
// the session; the destructor stops what it started. Helpers read and drive windows through
// a connection of the test's own.
#pragma once

#include <sys/types.h>
#include <xcb/xcb.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace gui_test {

class XSession {
 public:
  // Null, with the reason, when Xvfb (or openbox) is missing or does not come up.
  static std::unique_ptr<XSession> Start(bool window_manager, std::string* why_not);
  ~XSession();
  XSession(const XSession&) = delete;
  XSession& operator=(const XSession&) = delete;

  const std::string& display() const { return display_; }
  xcb_connection_t* connection() const { return connection_; }
  xcb_window_t root() const { return root_; }

  xcb_atom_t Atom(const std::string& name) const;
  std::optional<std::string> Property(xcb_window_t window, xcb_atom_t property,
                                      xcb_atom_t type) const;
  std::vector<std::uint32_t> Cardinals(xcb_window_t window, xcb_atom_t property,
                                       xcb_atom_t type) const;
  bool IsViewable(xcb_window_t window) const;
  bool Exists(xcb_window_t window) const;
  // ICCCM state: 1 normal, 3 iconic; 0 when the window has none (withdrawn or unmanaged).
  int WmState(xcb_window_t window) const;
  // Size of the window itself (for a managed client: its client area).
  std::pair<int, int> Size(xcb_window_t window) const;
  // The window's ancestor just below the root: the window manager's frame, or the window.
  xcb_window_t TopAncestor(xcb_window_t window) const;
  xcb_window_t ActiveWindow() const;

  // A window of the test's own: WM_NAME and _NET_WM_NAME set to `title`.
  xcb_window_t CreateWindow(const std::string& title, bool mapped);
  // Asks the window manager to minimise the window.
  void Minimise(xcb_window_t window);
  // What the close box sends: WM_DELETE_WINDOW.
  void RequestClose(xcb_window_t window);
  // Runs an X tool (xdotool, ...) against this display; its exit status.
  int Run(const std::string& command) const;

 private:
  XSession() = default;
  bool WaitForWindowManager();
  void SendToRoot(xcb_window_t window, xcb_atom_t type, std::uint32_t d0, std::uint32_t d1);

  pid_t xvfb_ = -1;
  pid_t window_manager_ = -1;
  std::string display_;
  std::string saved_display_;
  bool had_display_ = false;
  xcb_connection_t* connection_ = nullptr;
  xcb_window_t root_ = 0;
};

// Records which windows get mapped at the top level (windows of clients without a window
// manager, frames with one) from its construction on.
class RootMapWatch {
 public:
  explicit RootMapWatch(const XSession& x);
  ~RootMapWatch();
  RootMapWatch(const RootMapWatch&) = delete;
  RootMapWatch& operator=(const RootMapWatch&) = delete;
  // Windows mapped since the watch began (or since the last call).
  std::vector<xcb_window_t> Mapped();

 private:
  xcb_connection_t* connection_;
};

// True when the program `name` is found on PATH.
bool HaveTool(const std::string& name);

}  // namespace gui_test
