#include "platform/ui/instance_lookup.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <mutex>
#include <sstream>
#include <thread>
#include <vector>

#include "platform/ui/detail/window_registry.h"
#include "platform/ui/display.h"
#include "platform/ui/window.h"

namespace ui {
namespace {

constexpr std::uintptr_t kForeignBase = 0xF000000000000000u;
constexpr std::uintptr_t kDesktop = kForeignBase - 1;
constexpr int kIoTimeoutMs = 1000;

struct ForeignEntry {
  bool from_display;
  pid_t pid;
  std::uint64_t id;
  std::string title;
};

struct Walk {
  std::mutex mutex;
  std::vector<ForeignEntry> entries;
};

Walk& CurrentWalk() {
  static auto* walk = new Walk;
  return *walk;
}

std::string SocketName(pid_t pid) {
  return "uiwin." + std::to_string(getuid()) + "." + std::to_string(pid);
}

socklen_t AbstractAddress(const std::string& name, sockaddr_un* addr) {
  std::memset(addr, 0, sizeof *addr);
  addr->sun_family = AF_UNIX;
  std::memcpy(addr->sun_path + 1, name.data(), name.size());
  return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
}

bool WaitFd(int fd, short events) {
  pollfd p{fd, events, 0};
  return poll(&p, 1, kIoTimeoutMs) == 1;
}

bool WriteAll(int fd, const std::string& data) {
  std::size_t done = 0;
  while (done < data.size()) {
    if (!WaitFd(fd, POLLOUT)) return false;
    ssize_t n = send(fd, data.data() + done, data.size() - done, MSG_NOSIGNAL);
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Reads until the peer closes, at most `limit` bytes.
std::string ReadAll(int fd, std::size_t limit) {
  std::string data;
  char buf[4096];
  while (data.size() < limit && WaitFd(fd, POLLIN)) {
    ssize_t n = recv(fd, buf, sizeof buf, 0);
    if (n <= 0) break;
    data.append(buf, static_cast<std::size_t>(n));
  }
  return data;
}

// One request to another process's listener; returns its answer.
std::string Ask(pid_t pid, const std::string& request) {
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return {};
  sockaddr_un addr;
  socklen_t len = AbstractAddress(SocketName(pid), &addr);
  std::string answer;
  if (connect(fd, reinterpret_cast<sockaddr*>(&addr), len) == 0 && WriteAll(fd, request)) {
    shutdown(fd, SHUT_WR);
    answer = ReadAll(fd, 1 << 20);
  }
  close(fd);
  return answer;
}

// Processes of this user in this network namespace that serve their windows.
std::vector<pid_t> ListenerPids() {
  std::vector<pid_t> pids;
  std::ifstream table("/proc/net/unix");
  std::string prefix = "@uiwin." + std::to_string(getuid()) + ".";
  std::string line;
  while (std::getline(table, line)) {
    auto at = line.rfind(' ');
    if (at == std::string::npos) continue;
    std::string path = line.substr(at + 1);
    if (path.compare(0, prefix.size(), prefix) != 0) continue;
    long pid = std::strtol(path.c_str() + prefix.size(), nullptr, 10);
    if (pid > 0 && pid != getpid()) pids.push_back(static_cast<pid_t>(pid));
  }
  return pids;
}

// Answer format, one window per record: "<id> <title length>\n<title bytes>\n".
void ParseWindowList(pid_t pid, const std::string& answer, std::vector<ForeignEntry>* out) {
  std::size_t pos = 0;
  while (pos < answer.size()) {
    std::size_t eol = answer.find('\n', pos);
    if (eol == std::string::npos) return;
    unsigned long long id = 0;
    std::size_t length = 0;
    if (std::sscanf(answer.substr(pos, eol - pos).c_str(), "%llu %zu", &id, &length) != 2) return;
    pos = eol + 1;
    if (length > answer.size() - pos) return;
    out->push_back(ForeignEntry{false, pid, id, answer.substr(pos, length)});
    pos += length + 1;
  }
}

std::string DescribeWindows() {
  std::string out;
  for (HWND hwnd : TopLevelWindows()) {
    std::string title;
    {
      std::lock_guard lock(WindowMutex());
      if (WindowState* w = FindWindowState(hwnd)) title = w->text;
    }
    out += std::to_string(reinterpret_cast<std::uintptr_t>(hwnd)) + " " +
           std::to_string(title.size()) + "\n" + title + "\n";
  }
  return out;
}

void ActivateOwnWindow(std::uint64_t id) {
  HWND hwnd = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(id));
  if (!IsWindow(hwnd) || GetParent(hwnd)) return;
  ShowWindow(hwnd, SW_SHOWNORMAL);
  SetForegroundWindow(hwnd);
}

void Serve(int client) {
  ucred cred{};
  socklen_t len = sizeof cred;
  if (getsockopt(client, SOL_SOCKET, SO_PEERCRED, &cred, &len) != 0 || cred.uid != getuid()) return;
  std::string request = ReadAll(client, 256);
  unsigned long long id = 0;
  if (request == "LIST\n") {
    WriteAll(client, DescribeWindows());
  } else if (std::sscanf(request.c_str(), "ACTIVATE %llu", &id) == 1) {
    ActivateOwnWindow(id);
    WriteAll(client, "OK\n");
  }
}

struct Listener {
  int fd = -1;
  int stop = -1;
  std::thread thread;
};

Listener& TheListener() {
  static auto* listener = new Listener;
  return *listener;
}

const ForeignEntry* EntryOf(HWND hwnd, std::size_t* index) {
  auto value = reinterpret_cast<std::uintptr_t>(hwnd);
  if (value < kForeignBase) return nullptr;
  std::size_t i = value - kForeignBase;
  auto& entries = CurrentWalk().entries;
  if (i >= entries.size()) return nullptr;
  if (index) *index = i;
  return &entries[i];
}

HWND HandleOf(std::size_t index) { return reinterpret_cast<HWND>(kForeignBase + index); }

}  // namespace

HWND DesktopWindowHandle() { return reinterpret_cast<HWND>(kDesktop); }

HWND FirstForeignWindow() {
  std::vector<ForeignEntry> entries;
  std::vector<ForeignWindow> shown;
  Display* display = ActiveDisplay();
  if (display && display->ListTopLevelWindows(&shown)) {
    for (auto& w : shown) entries.push_back(ForeignEntry{true, 0, w.id, w.title});
  } else {
    for (pid_t pid : ListenerPids()) ParseWindowList(pid, Ask(pid, "LIST\n"), &entries);
  }
  std::lock_guard lock(CurrentWalk().mutex);
  CurrentWalk().entries = std::move(entries);
  return CurrentWalk().entries.empty() ? nullptr : HandleOf(0);
}

HWND NextForeignWindow(HWND hwnd) {
  std::lock_guard lock(CurrentWalk().mutex);
  std::size_t i = 0;
  if (!EntryOf(hwnd, &i) || i + 1 >= CurrentWalk().entries.size()) return nullptr;
  return HandleOf(i + 1);
}

bool IsForeignWindow(HWND hwnd) {
  return reinterpret_cast<std::uintptr_t>(hwnd) >= kForeignBase && hwnd != DesktopWindowHandle();
}

std::string ForeignWindowTitle(HWND hwnd) {
  std::lock_guard lock(CurrentWalk().mutex);
  const ForeignEntry* e = EntryOf(hwnd, nullptr);
  return e ? e->title : std::string();
}

void ActivateForeignWindow(HWND hwnd) {
  ForeignEntry entry;
  {
    std::lock_guard lock(CurrentWalk().mutex);
    const ForeignEntry* e = EntryOf(hwnd, nullptr);
    if (!e) return;
    entry = *e;
  }
  if (entry.from_display) {
    if (Display* display = ActiveDisplay()) display->ActivateTopLevelWindow(entry.id);
  } else {
    Ask(entry.pid, "ACTIVATE " + std::to_string(entry.id) + "\n");
  }
}

void StartInstanceListener() {
  Listener& l = TheListener();
  if (l.fd >= 0) return;
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return;
  sockaddr_un addr;
  socklen_t len = AbstractAddress(SocketName(getpid()), &addr);
  if (bind(fd, reinterpret_cast<sockaddr*>(&addr), len) != 0 || listen(fd, 8) != 0) {
    close(fd);
    return;
  }
  l.fd = fd;
  l.stop = eventfd(0, EFD_CLOEXEC);
  l.thread = std::thread([fd, stop = l.stop] {
    for (;;) {
      pollfd fds[2] = {{fd, POLLIN, 0}, {stop, POLLIN, 0}};
      if (poll(fds, 2, -1) < 0) continue;
      if (fds[1].revents) return;
      int client = accept4(fd, nullptr, nullptr, SOCK_CLOEXEC);
      if (client < 0) continue;
      Serve(client);
      close(client);
    }
  });
}

void StopInstanceListener() {
  Listener& l = TheListener();
  if (l.fd < 0) return;
  std::uint64_t one = 1;
  if (write(l.stop, &one, sizeof one) < 0) return;
  l.thread.join();
  close(l.fd);
  close(l.stop);
  l.fd = l.stop = -1;
}

}  // namespace ui
