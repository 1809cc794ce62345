#include "tests/common/window_owner_process.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "platform/ui/detail/window_registry.h"
#include "platform/ui/instance_lookup.h"
#include "platform/ui/window.h"

namespace {

[[noreturn]] void OwnWindows(const std::vector<std::string>& titles, const std::string& watched,
                             int ready_fd) {
  HWND target = nullptr;
  for (const std::string& title : titles) {
    ui::WindowState state;
    state.kind = ui::WindowKind::kDialog;
    state.text = title;
    HWND hwnd = ui::CreateWindowState(std::move(state));
    if (title == watched) target = hwnd;
  }
  ui::StartInstanceListener();
  char byte = 1;
  if (write(ready_fd, &byte, 1) != 1) _exit(2);
  for (int i = 0; i < 500; ++i) {
    if (IsWindowVisible(target)) _exit(0);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  _exit(1);
}

}  // namespace

WindowOwnerProcess::WindowOwnerProcess(const std::vector<std::string>& titles,
                                       const std::string& watched) {
  int fds[2];
  if (pipe(fds) != 0) return;
  pid_ = fork();
  if (pid_ == 0) {
    close(fds[0]);
    OwnWindows(titles, watched, fds[1]);
  }
  close(fds[1]);
  char byte = 0;
  if (pid_ > 0 && read(fds[0], &byte, 1) != 1) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
  close(fds[0]);
}

WindowOwnerProcess::~WindowOwnerProcess() {
  if (pid_ <= 0) return;
  kill(pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
}

bool WindowOwnerProcess::WatchedWindowWasShown() {
  if (pid_ <= 0) return false;
  int status = 0;
  pid_t reaped = waitpid(pid_, &status, 0);
  pid_ = -1;
  return reaped > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
