// Finding a running copy without a display: another process's top-level windows, hidden ones
// too, are listed by title through its socket, and activation shows and raises the window.
#include "platform/ui/instance_lookup.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "platform/ui/detail/window_registry.h"
#include "platform/ui/window.h"

namespace {

HWND MakeTopLevel(const std::string& title) {
  ui::WindowState state;
  state.kind = ui::WindowKind::kDialog;
  state.text = title;
  return ui::CreateWindowState(std::move(state));
}

// Runs in a forked child: a copy with three hidden windows. Exits 0 once the one titled
// `wanted` has been shown, 1 if that does not happen within five seconds.
[[noreturn]] void RunChild(const std::string& wanted, int ready_fd) {
  MakeTopLevel(wanted + "2");
  MakeTopLevel("x" + wanted.substr(1));
  HWND target = MakeTopLevel(wanted);
  ui::StartInstanceListener();
  char byte = 1;
  if (write(ready_fd, &byte, 1) != 1) _exit(2);
  for (int i = 0; i < 500; ++i) {
    if (IsWindowVisible(target)) _exit(0);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  _exit(1);
}

TEST(InstanceLookup, FindsAnotherProcesssHiddenWindowByExactTitleAndActivatesIt) {
  const std::string title = "Lookup" + std::to_string(getpid());
  int pipe_fds[2];
  ASSERT_EQ(pipe(pipe_fds), 0);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(pipe_fds[0]);
    RunChild(title, pipe_fds[1]);
  }
  close(pipe_fds[1]);
  char byte = 0;
  ASSERT_EQ(read(pipe_fds[0], &byte, 1), 1);
  close(pipe_fds[0]);

  std::vector<std::string> seen;
  HWND found = nullptr;
  for (HWND w = GetTopWindow(GetDesktopWindow()); w; w = GetWindow(w, GW_HWNDNEXT)) {
    char buffer[255];
    std::memset(buffer, 0, sizeof buffer);
    GetWindowText(w, buffer, 255);
    seen.emplace_back(buffer);
    if (!found && title == buffer) found = w;
  }
  ASSERT_NE(found, nullptr);
  // Topmost first: the child made its matching window last.
  auto ours = std::find(seen.begin(), seen.end(), title);
  ASSERT_NE(ours, seen.end());
  ASSERT_LE(ours + 2, seen.end() - 1);
  EXPECT_EQ(*(ours + 1), "x" + title.substr(1));
  EXPECT_EQ(*(ours + 2), title + "2");

  SetForegroundWindow(found);
  ShowWindow(found, SW_SHOWNORMAL);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the window was not shown";
}

TEST(InstanceLookup, GetWindowTextCutsLongTitles) {
  HWND w = MakeTopLevel(std::string(300, 'P'));
  char buffer[255];
  EXPECT_EQ(GetWindowText(w, buffer, 255), 254);
  EXPECT_EQ(std::strlen(buffer), 254u);
  DestroyWindow(w);
}

}  // namespace
