// A second copy of the monitor program finds a window titled "Pellorin" on the desktop, brings
// it to the front and exits without showing anything. Each test runs its own X server with a
// window manager.
#include <gtest/gtest.h>

#include "tests/gui/desktop_test.h"
#include "tests/gui/program_run.h"
#include "tests/gui/program_windows.h"
#include "tests/gui/wait_until.h"

namespace gui_test {
namespace {

using std::chrono::milliseconds;

constexpr milliseconds kTimeout(10000);
constexpr int kNormalState = 1;
constexpr int kIconicState = 3;

class SingleInstanceTest : public DesktopTest {
 protected:
  void Minimise(xcb_window_t window) {
    x_->Minimise(window);
    ASSERT_TRUE(WaitUntil([&] { return x_->WmState(window) == kIconicState; }, kTimeout));
  }

  // The window is back: shown, no longer minimised, and the active window.
  void ExpectActivated(xcb_window_t window) {
    EXPECT_TRUE(WaitUntil(
        [&] {
          return x_->WmState(window) == kNormalState && x_->IsViewable(window) &&
                 x_->ActiveWindow() == window;
        },
        kTimeout));
  }
};

TEST_F(SingleInstanceTest, SecondCopyRestoresTheMinimisedFirstAndShowsNothing) {
  ProgramRun first;
  auto monitor = WaitForShownMonitor(*x_, first.pid(), kTimeout);
  ASSERT_TRUE(monitor) << first.ErrorOutput();
  // The window manager minimises and restores the splash with the monitor, as one group: let
  // it go first.
  ASSERT_TRUE(WaitForSplashToComeAndGo(*x_, first.pid(), kTimeout));
  Minimise(*monitor);
  xcb_window_t frame = x_->TopAncestor(*monitor);

  RootMapWatch maps(*x_);
  ProgramRun second;
  EXPECT_TRUE(second.WaitForExit(kTimeout)) << second.ErrorOutput();
  EXPECT_EQ(second.FaultReports(), "");
  ExpectActivated(*monitor);
  // The only window mapped meanwhile is the first copy's, restored.
  for (xcb_window_t mapped : maps.Mapped()) EXPECT_EQ(mapped, frame);
  EXPECT_FALSE(first.Exited());
}

TEST_F(SingleInstanceTest, OnlyAWindowTitledExactlyPellorinCounts) {
  struct Case {
    const char* title;
    bool mapped;
    bool counts;
  };
  const Case cases[] = {
      {"Pellorin", true, true},
      {"Pellorin", false, true},  // not shown yet, as a copy that is still starting
      {"pellorin", true, false},
      {"Pellorin2", true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.title) + (c.mapped ? ", shown" : ", hidden"));
    xcb_window_t foreign = x_->CreateWindow(c.title, c.mapped);
    if (c.mapped) {
      ASSERT_TRUE(WaitUntil([&] { return x_->WmState(foreign) == kNormalState; }, kTimeout));
      if (c.counts) Minimise(foreign);
    }
    ProgramRun run;
    if (c.counts) {
      EXPECT_TRUE(run.WaitForExit(kTimeout)) << run.ErrorOutput();
      ExpectActivated(foreign);
    } else {
      EXPECT_TRUE(WaitForShownMonitor(*x_, run.pid(), kTimeout)) << run.ErrorOutput();
      EXPECT_FALSE(run.Exited());
    }
    xcb_destroy_window(x_->connection(), foreign);
    xcb_flush(x_->connection());
  }
}

}  // namespace
}  // namespace gui_test
