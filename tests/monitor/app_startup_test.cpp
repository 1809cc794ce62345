// Start-up when a copy is already running: nothing is shown, the flag is not touched, and the
// running copy's window is brought to the front.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "app/monitor_app.h"
#include "monitor/init_done.h"
#include "platform/ui/detail/window_registry.h"
#include "platform/ui/instance_lookup.h"
#include "res/resource.h"

namespace {

class TestApp : public CMonitorApp {
 public:
  using CMonitorApp::ActivatePreviousInstance;
};

// In a forked child: a running copy whose monitor window exists, hidden, with the title. Exits
// 0 once the window has been shown.
[[noreturn]] void RunningCopy(int ready_fd) {
  ui::WindowState state;
  state.kind = ui::WindowKind::kDialog;
  state.text = "Pellorin";
  HWND window = ui::CreateWindowState(std::move(state));
  ui::StartInstanceListener();
  char byte = 1;
  if (write(ready_fd, &byte, 1) != 1) _exit(2);
  for (int i = 0; i < 500; ++i) {
    if (IsWindowVisible(window)) _exit(0);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  _exit(1);
}

TEST(AppStartup, ASecondCopyShowsNothingAndBringsTheFirstToTheFront) {
  ui::SetResources(&PellorinResources());
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(fds[0]);
    RunningCopy(fds[1]);
  }
  close(fds[1]);
  char byte = 0;
  ASSERT_EQ(read(fds[0], &byte, 1), 1);
  close(fds[0]);

  TestApp app;
  g_bInitDone = 7;
  EXPECT_FALSE(app.InitInstance());
  EXPECT_EQ(g_bInitDone.load(), 7u);
  EXPECT_TRUE(ui::TopLevelWindows().empty());
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the running copy's window was not shown";
}

}  // namespace
