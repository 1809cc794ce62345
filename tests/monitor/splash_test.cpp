// The splash on its own thread and the virtual clock: it stays until its first once-a-second
// tick that finds the initialization done, a close request before that is dropped, and the
// wait cursor is shown for exactly its life.
#include <gtest/gtest.h>

#include <mutex>
#include <thread>

#include "app/splash_dlg.h"
#include "monitor/init_done.h"
#include "platform/ui/clock.h"
#include "platform/ui/detail/window_registry.h"
#include "platform/ui/display.h"
#include "res/resource.h"

namespace {

// A display that records the wait cursor and when the splash window comes and goes.
class SplashWatcher : public ui::Display {
 public:
  bool Start() override { return true; }
  void Stop() override {}
  void SetWaitCursor(bool busy) override {
    std::lock_guard lock(mutex);
    cursor.emplace_back(ui::NowMs(), busy);
  }
  void OnWindowChange(HWND hwnd, ui::Change change) override {
    if (change == ui::Change::kCreated && !GetParentOf(hwnd)) {
      std::lock_guard lock(mutex);
      splash = hwnd;
    }
    if (change == ui::Change::kDestroyed) {
      std::lock_guard lock(mutex);
      if (hwnd == splash) gone_at = ui::NowMs();
    }
  }
  HWND Splash() {
    std::lock_guard lock(mutex);
    return splash;
  }

  std::mutex mutex;
  std::vector<std::pair<std::uint64_t, bool>> cursor;
  HWND splash = nullptr;
  std::uint64_t gone_at = 0;

 private:
  static HWND GetParentOf(HWND hwnd) {
    std::lock_guard lock(ui::WindowMutex());
    const ui::WindowState* w = ui::FindWindowState(hwnd);
    return w ? w->parent : nullptr;
  }
};

class SplashTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ui::SetResources(&PellorinResources());
    ui::UseVirtualClock();
    ui::SetActiveDisplay(&watcher_);
    ui::AddWindowObserver(&watcher_);
    g_bInitDone = 0;
  }
  void TearDown() override {
    ui::RemoveWindowObserver(&watcher_);
    ui::SetActiveDisplay(nullptr);
    ui::UseRealClock();
  }
  // Runs the splash thread as start-up does, until the splash has ended.
  void RunSplash() {
    std::thread thread(SplashThreadProc, new CSplashDlg(nullptr));
    thread.join();
  }
  CWinApp app_{"pellorin"};
  SplashWatcher watcher_;
};

TEST_F(SplashTest, StaysAboutASecondEvenWhenTheMonitorIsReadySooner) {
  ui::RunAt(100, [] { g_bInitDone = 1; });
  RunSplash();
  EXPECT_EQ(watcher_.gone_at, 1000u);
  EXPECT_EQ(watcher_.cursor,
            (std::vector<std::pair<std::uint64_t, bool>>{{0, true}, {1000, false}}));
}

TEST_F(SplashTest, ACloseRequestBeforeTheFlagIsDroppedAndTheNextTickAfterItCloses) {
  ui::RunAt(500, [&] { PostMessage(watcher_.Splash(), WM_CLOSE, 0, 0); });
  ui::RunAt(1500, [&] { PostMessage(watcher_.Splash(), WM_SYSCOMMAND, SC_CLOSE, 0); });
  ui::RunAt(2500, [] { g_bInitDone = 1; });
  RunSplash();
  EXPECT_EQ(watcher_.gone_at, 3000u);
  EXPECT_EQ(watcher_.cursor.size(), 2u);
}

TEST_F(SplashTest, ItsCancelButtonIsHiddenAndDisabled) {
  HWND cancel = nullptr;
  bool visible = true, enabled = true;
  ui::RunAt(10, [&] {
    cancel = GetDlgItem(watcher_.Splash(), IDCANCEL);
    std::lock_guard lock(ui::WindowMutex());
    if (const ui::WindowState* w = ui::FindWindowState(cancel)) {
      visible = w->visible;
      enabled = w->enabled;
    }
    g_bInitDone = 1;
  });
  RunSplash();
  ASSERT_NE(cancel, nullptr);
  EXPECT_FALSE(visible);
  EXPECT_FALSE(enabled);
}

}  // namespace
