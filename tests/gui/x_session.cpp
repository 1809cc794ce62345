#include "tests/gui/x_session.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>

#include "tests/gui/wait_until.h"

namespace gui_test {
namespace {

using std::chrono::milliseconds;

template <typename T>
std::unique_ptr<T, decltype(&std::free)> Own(T* reply) {
  return {reply, &std::free};
}

// Starts `argv` with standard output and error discarded; `keep_fd` stays open in the child.
pid_t Spawn(std::vector<std::string> args, int keep_fd = -1) {
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  int null = open("/dev/null", O_RDWR | O_CLOEXEC);
  pid_t pid = fork();
  if (pid == 0) {
    // Goes with the test even when the test dies without cleaning up.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    if (keep_fd >= 0) fcntl(keep_fd, F_SETFD, 0);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  close(null);
  return pid;
}

void Stop(pid_t pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  bool gone = WaitUntil([&] { return waitpid(pid, nullptr, WNOHANG) == pid; }, milliseconds(3000));
  if (!gone) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
}

// The display number Xvfb writes once it accepts connections.
std::string ReadDisplayNumber(int fd) {
  std::string number;
  auto deadline = std::chrono::steady_clock::now() + milliseconds(10000);
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 100) != 1) continue;
    char c;
    if (read(fd, &c, 1) != 1) break;
    if (c == '\n') return number;
    number += c;
  }
  return {};
}

}  // namespace

bool HaveTool(const std::string& name) {
  return std::system(("command -v " + name + " > /dev/null 2>&1").c_str()) == 0;
}

std::unique_ptr<XSession> XSession::Start(bool window_manager, std::string* why_not) {
  if (!HaveTool("Xvfb")) {
    *why_not = "Xvfb is not installed";
    return nullptr;
  }
  if (window_manager && !HaveTool("openbox")) {
    *why_not = "openbox is not installed";
    return nullptr;
  }
  std::unique_ptr<XSession> session(new XSession);
  int pipe_fds[2];
  if (pipe2(pipe_fds, O_CLOEXEC) != 0) {
    *why_not = "no pipe";
    return nullptr;
  }
  session->xvfb_ = Spawn({"Xvfb", "-displayfd", std::to_string(pipe_fds[1]), "-screen", "0",
                          "1280x1024x24", "-nolisten", "tcp", "-noreset"},
                         pipe_fds[1]);
  close(pipe_fds[1]);
  std::string number = ReadDisplayNumber(pipe_fds[0]);
  close(pipe_fds[0]);
  if (number.empty()) {
    *why_not = "Xvfb did not start";
    return nullptr;
  }
  session->display_ = ":" + number;
  if (const char* old = std::getenv("DISPLAY")) {
    session->had_display_ = true;
    session->saved_display_ = old;
  }
  setenv("DISPLAY", session->display_.c_str(), 1);
  session->connection_ = xcb_connect(session->display_.c_str(), nullptr);
  if (xcb_connection_has_error(session->connection_)) {
    *why_not = "cannot connect to Xvfb";
    return nullptr;
  }
  session->root_ = xcb_setup_roots_iterator(xcb_get_setup(session->connection_)).data->root;
  if (window_manager) {
    session->window_manager_ = Spawn({"openbox"});
    if (!session->WaitForWindowManager()) {
      *why_not = "openbox did not start";
      return nullptr;
    }
  }
  return session;
}

// The window manager is up once it manages a window: map a probe until it gets WM_STATE. (Its
// readiness property comes earlier, while requests may still be dropped.)
bool XSession::WaitForWindowManager() {
  xcb_window_t probe = CreateWindow("probe", false);
  bool managed = WaitUntil(
      [&] {
        xcb_unmap_window(connection_, probe);
        xcb_map_window(connection_, probe);
        xcb_flush(connection_);
        return WaitUntil([&] { return WmState(probe) == 1; }, milliseconds(200));
      },
      milliseconds(10000), milliseconds(0));
  xcb_destroy_window(connection_, probe);
  xcb_flush(connection_);
  return managed;
}

XSession::~XSession() {
  if (connection_) xcb_disconnect(connection_);
  Stop(window_manager_);
  Stop(xvfb_);
  if (had_display_)
    setenv("DISPLAY", saved_display_.c_str(), 1);
  else
    unsetenv("DISPLAY");
}

xcb_atom_t XSession::Atom(const std::string& name) const {
  auto reply = Own(xcb_intern_atom_reply(
      connection_,
      xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(name.size()), name.c_str()),
      nullptr));
  return reply ? reply->atom : XCB_NONE;
}

std::optional<std::string> XSession::Property(xcb_window_t window, xcb_atom_t property,
                                              xcb_atom_t type) const {
  auto reply = Own(xcb_get_property_reply(
      connection_, xcb_get_property(connection_, 0, window, property, type, 0, 1 << 16), nullptr));
  if (!reply || reply->type != type) return std::nullopt;
  return std::string(static_cast<const char*>(xcb_get_property_value(reply.get())),
                     static_cast<std::size_t>(xcb_get_property_value_length(reply.get())));
}

std::vector<std::uint32_t> XSession::Cardinals(xcb_window_t window, xcb_atom_t property,
                                               xcb_atom_t type) const {
  std::vector<std::uint32_t> values;
  if (auto bytes = Property(window, property, type)) {
    values.resize(bytes->size() / 4);
    std::memcpy(values.data(), bytes->data(), values.size() * 4);
  }
  return values;
}

bool XSession::IsViewable(xcb_window_t window) const {
  auto reply = Own(xcb_get_window_attributes_reply(
      connection_, xcb_get_window_attributes(connection_, window), nullptr));
  return reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
}

bool XSession::Exists(xcb_window_t window) const {
  auto reply =
      Own(xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window), nullptr));
  return reply != nullptr;
}

int XSession::WmState(xcb_window_t window) const {
  xcb_atom_t wm_state = Atom("WM_STATE");
  auto values = Cardinals(window, wm_state, wm_state);
  return values.empty() ? 0 : static_cast<int>(values[0]);
}

std::pair<int, int> XSession::Size(xcb_window_t window) const {
  auto reply =
      Own(xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window), nullptr));
  return reply ? std::pair<int, int>(reply->width, reply->height) : std::pair<int, int>(0, 0);
}

xcb_window_t XSession::TopAncestor(xcb_window_t window) const {
  for (;;) {
    auto reply =
        Own(xcb_query_tree_reply(connection_, xcb_query_tree(connection_, window), nullptr));
    if (!reply || reply->parent == root_ || reply->parent == XCB_NONE) return window;
    window = reply->parent;
  }
}

xcb_window_t XSession::ActiveWindow() const {
  auto values = Cardinals(root_, Atom("_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW);
  return values.empty() ? XCB_NONE : values[0];
}

xcb_window_t XSession::CreateWindow(const std::string& title, bool mapped) {
  xcb_window_t window = xcb_generate_id(connection_);
  const std::uint32_t background = 0x808080;
  xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window, root_, 10, 10, 200, 100, 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, XCB_CW_BACK_PIXEL,
                    &background);
  xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING,
                      8, static_cast<std::uint32_t>(title.size()), title.data());
  xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window, Atom("_NET_WM_NAME"),
                      Atom("UTF8_STRING"), 8, static_cast<std::uint32_t>(title.size()),
                      title.data());
  if (mapped) xcb_map_window(connection_, window);
  xcb_flush(connection_);
  return window;
}

void XSession::SendToRoot(xcb_window_t window, xcb_atom_t type, std::uint32_t d0,
                          std::uint32_t d1) {
  xcb_client_message_event_t event{};
  event.response_type = XCB_CLIENT_MESSAGE;
  event.format = 32;
  event.window = window;
  event.type = type;
  event.data.data32[0] = d0;
  event.data.data32[1] = d1;
  xcb_send_event(connection_, 0, root_,
                 XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&event));
  xcb_flush(connection_);
}

void XSession::Minimise(xcb_window_t window) {
  constexpr std::uint32_t kIconicState = 3;
  SendToRoot(window, Atom("WM_CHANGE_STATE"), kIconicState, 0);
}

void XSession::RequestClose(xcb_window_t window) {
  xcb_client_message_event_t event{};
  event.response_type = XCB_CLIENT_MESSAGE;
  event.format = 32;
  event.window = window;
  event.type = Atom("WM_PROTOCOLS");
  event.data.data32[0] = Atom("WM_DELETE_WINDOW");
  event.data.data32[1] = XCB_CURRENT_TIME;
  xcb_send_event(connection_, 0, window, XCB_EVENT_MASK_NO_EVENT,
                 reinterpret_cast<const char*>(&event));
  xcb_flush(connection_);
}

int XSession::Run(const std::string& command) const {
  return std::system(("DISPLAY=" + display_ + " " + command + " > /dev/null 2>&1").c_str());
}

RootMapWatch::RootMapWatch(const XSession& x)
    : connection_(xcb_connect(x.display().c_str(), nullptr)) {
  const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
  xcb_change_window_attributes(connection_, x.root(), XCB_CW_EVENT_MASK, &mask);
  // Wait until the server has taken the subscription.
  std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
}

RootMapWatch::~RootMapWatch() { xcb_disconnect(connection_); }

std::vector<xcb_window_t> RootMapWatch::Mapped() {
  std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
  std::vector<xcb_window_t> mapped;
  while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
    if ((event->response_type & 0x7F) == XCB_MAP_NOTIFY)
      mapped.push_back(reinterpret_cast<xcb_map_notify_event_t*>(event)->window);
    std::free(event);
  }
  return mapped;
}

}  // namespace gui_test
