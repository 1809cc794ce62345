#include "platform/ui/wx/x11_windows.h"

#include <unistd.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace ui::wx {
namespace {

// A frame holds its client a level or two down; deeper searches find nothing more.
constexpr int kFrameDepth = 3;
// Titles are read up to this many bytes; longer ones are cut before anyone compares them.
constexpr std::uint32_t kTitleLongs = 256;

template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

template <typename T>
Reply<T> Own(T* reply) {
  return Reply<T>(reply, &std::free);
}

class XConnection {
 public:
  XConnection() {
    int screen_number = 0;
    connection_ = xcb_connect(nullptr, &screen_number);
    if (xcb_connection_has_error(connection_)) return;
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection_));
    for (int i = 0; i < screen_number && it.rem; ++i) xcb_screen_next(&it);
    if (it.rem) root_ = it.data->root;
  }
  ~XConnection() { xcb_disconnect(connection_); }
  XConnection(const XConnection&) = delete;
  XConnection& operator=(const XConnection&) = delete;

  bool ok() const { return root_ != XCB_NONE; }
  xcb_connection_t* get() const { return connection_; }
  xcb_window_t root() const { return root_; }

  xcb_atom_t Atom(std::string_view name) const {
    auto reply = Own(xcb_intern_atom_reply(
        connection_,
        xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(name.size()), name.data()),
        nullptr));
    return reply ? reply->atom : XCB_NONE;
  }

  // Children of `window`, topmost first.
  std::vector<xcb_window_t> Children(xcb_window_t window) const {
    auto reply =
        Own(xcb_query_tree_reply(connection_, xcb_query_tree(connection_, window), nullptr));
    if (!reply) return {};
    xcb_window_t* first = xcb_query_tree_children(reply.get());
    int count = xcb_query_tree_children_length(reply.get());
    return std::vector<xcb_window_t>(std::make_reverse_iterator(first + count),
                                     std::make_reverse_iterator(first));
  }

  // The property's bytes; nothing when it is missing or of another type (`type` 0: any type).
  std::optional<std::string> Property(xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                                      std::uint32_t longs = kTitleLongs) const {
    auto reply = Own(xcb_get_property_reply(
        connection_,
        xcb_get_property(connection_, 0, window, property,
                         type ? type : xcb_atom_t{XCB_GET_PROPERTY_TYPE_ANY}, 0, longs),
        nullptr));
    if (!reply || reply->type == XCB_NONE || (type && reply->type != type)) return std::nullopt;
    auto* data = static_cast<const char*>(xcb_get_property_value(reply.get()));
    return std::string(data, static_cast<std::size_t>(xcb_get_property_value_length(reply.get())));
  }

 private:
  xcb_connection_t* connection_ = nullptr;
  xcb_window_t root_ = XCB_NONE;
};

struct Atoms {
  explicit Atoms(const XConnection& x)
      : wm_state(x.Atom("WM_STATE")),
        net_wm_name(x.Atom("_NET_WM_NAME")),
        utf8_string(x.Atom("UTF8_STRING")),
        net_wm_pid(x.Atom("_NET_WM_PID")),
        net_active_window(x.Atom("_NET_ACTIVE_WINDOW")) {}
  xcb_atom_t wm_state, net_wm_name, utf8_string, net_wm_pid, net_active_window;
};

// The window at or below `window` that a window manager manages (it bears WM_STATE); none
// when `window` is no frame and no client.
xcb_window_t FindClient(const XConnection& x, const Atoms& atoms, xcb_window_t window, int depth) {
  if (x.Property(window, atoms.wm_state, XCB_NONE, 0)) return window;
  if (depth == 0) return XCB_NONE;
  for (xcb_window_t child : x.Children(window))
    if (xcb_window_t client = FindClient(x, atoms, child, depth - 1)) return client;
  return XCB_NONE;
}

std::string Title(const XConnection& x, const Atoms& atoms, xcb_window_t window) {
  if (auto name = x.Property(window, atoms.net_wm_name, atoms.utf8_string)) return *name;
  return x.Property(window, XCB_ATOM_WM_NAME, XCB_NONE).value_or("");
}

std::string HostName() {
  char name[256] = {};
  gethostname(name, sizeof name - 1);
  return name;
}

std::uint32_t ClientPid(const XConnection& x, const Atoms& atoms, xcb_window_t window) {
  auto pid = x.Property(window, atoms.net_wm_pid, XCB_ATOM_CARDINAL, 1);
  std::uint32_t value = 0;
  if (pid && pid->size() == sizeof value) std::memcpy(&value, pid->data(), sizeof value);
  return value;
}

}  // namespace

bool ListX11Clients(std::vector<X11Client>* out) {
  XConnection x;
  if (!x.ok()) return false;
  Atoms atoms(x);
  for (xcb_window_t top : x.Children(x.root())) {
    xcb_window_t client = FindClient(x, atoms, top, kFrameDepth);
    if (!client) client = top;  // not managed: unmapped, or no window manager
    std::string machine =
        x.Property(client, XCB_ATOM_WM_CLIENT_MACHINE, XCB_ATOM_STRING).value_or("");
    out->push_back(
        X11Client{client, Title(x, atoms, client), ClientPid(x, atoms, client), machine.c_str()});
  }
  return true;
}

bool ListX11TopLevelWindows(std::vector<ForeignWindow>* out) {
  std::vector<X11Client> clients;
  if (!ListX11Clients(&clients)) return false;
  const std::string host = HostName();
  const auto self = static_cast<std::uint32_t>(getpid());
  for (X11Client& client : clients) {
    bool own = client.pid == self && (client.machine.empty() || client.machine == host);
    if (!own) out->push_back(ForeignWindow{client.id, std::move(client.title)});
  }
  return true;
}

void ActivateX11Window(std::uint64_t id) {
  XConnection x;
  if (!x.ok()) return;
  Atoms atoms(x);
  auto window = static_cast<xcb_window_t>(id);
  xcb_map_window(x.get(), window);
  const std::uint32_t above = XCB_STACK_MODE_ABOVE;
  xcb_configure_window(x.get(), window, XCB_CONFIG_WINDOW_STACK_MODE, &above);
  xcb_client_message_event_t activate{};
  activate.response_type = XCB_CLIENT_MESSAGE;
  activate.format = 32;
  activate.window = window;
  activate.type = atoms.net_active_window;
  activate.data.data32[0] = 2;  // the request comes from a pager-like tool: always honoured
  activate.data.data32[1] = XCB_CURRENT_TIME;
  xcb_send_event(x.get(), 0, x.root(),
                 XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&activate));
  // Wait until the server has taken every request before the connection closes.
  std::free(xcb_get_input_focus_reply(x.get(), xcb_get_input_focus(x.get()), nullptr));
}

}  // namespace ui::wx
