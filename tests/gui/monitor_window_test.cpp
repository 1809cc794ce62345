// The monitor program on a desktop: its window, the ways to end it, the splash, and how fast
// it comes up. Each test runs its own X server with a window manager.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <thread>

#include "tests/gui/desktop_test.h"
#include "tests/gui/program_run.h"
#include "tests/gui/program_windows.h"
#include "tests/gui/wait_until.h"

namespace gui_test {
namespace {

using std::chrono::duration_cast;
using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

constexpr milliseconds kStartTimeout(10000);
constexpr milliseconds kExitTimeout(5000);

class MonitorWindowTest : public DesktopTest {
 protected:
  void SetUp() override {
    DesktopTest::SetUp();
    if (!IsSkipped() && !HaveTool("xdotool")) GTEST_SKIP() << "xdotool is not installed";
  }

  xcb_window_t ShownMonitor(const ProgramRun& run) {
    auto monitor = WaitForShownMonitor(*x_, run.pid(), kStartTimeout);
    EXPECT_TRUE(monitor) << "no monitor window; the program said: " << run.ErrorOutput();
    return monitor.value_or(XCB_NONE);
  }

  // Where the QUIT button's middle is on the screen: the template puts it at (224, 199) of a
  // 279 x 226 dialog, and its bitmap is 66 x 39 pixels.
  std::pair<int, int> QuitButtonCentre(xcb_window_t monitor) {
    auto [width, height] = x_->Size(monitor);
    auto reply = xcb_translate_coordinates_reply(
        x_->connection(), xcb_translate_coordinates(x_->connection(), monitor, x_->root(), 0, 0),
        nullptr);
    int left = reply ? reply->dst_x : 0, top = reply ? reply->dst_y : 0;
    std::free(reply);
    return {left + width * 224 / 279 + 33, top + height * 199 / 226 + 19};
  }
};

TEST_F(MonitorWindowTest, WindowIsTitledFixedInSizeAndHasTheIcon) {
  ProgramRun run;
  xcb_window_t monitor = ShownMonitor(run);
  ASSERT_NE(monitor, XCB_NONE);
  // 279 x 226 dialog units come to at least 418 x 367 pixels with the smallest usual font.
  auto [width, height] = x_->Size(monitor);
  EXPECT_GE(width, 418);
  EXPECT_GE(height, 367);
  // WM_NORMAL_HINTS: minimum (fields 5, 6) and maximum (7, 8) both equal the size.
  auto hints = x_->Cardinals(monitor, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS);
  ASSERT_GE(hints.size(), 9u);
  EXPECT_EQ(hints[5], static_cast<std::uint32_t>(width));
  EXPECT_EQ(hints[6], static_cast<std::uint32_t>(height));
  EXPECT_EQ(hints[7], static_cast<std::uint32_t>(width));
  EXPECT_EQ(hints[8], static_cast<std::uint32_t>(height));
  // _NET_WM_ICON starts with the 32 x 32 image.
  auto icon = x_->Cardinals(monitor, x_->Atom("_NET_WM_ICON"), XCB_ATOM_CARDINAL);
  ASSERT_GE(icon.size(), 2u);
  EXPECT_EQ(icon[0], 32u);
  EXPECT_EQ(icon[1], 32u);
}

TEST_F(MonitorWindowTest, QuitEscEnterSpaceAndTheCloseBoxEndTheProgram) {
  struct Ending {
    const char* name;
    std::function<void(XSession&, xcb_window_t)> act;
  };
  auto key = [](const char* keys) {
    return [keys](XSession& x, xcb_window_t w) {
      x.Run("xdotool windowactivate --sync " + std::to_string(w) + " key " + keys);
    };
  };
  const Ending endings[] = {
      {"click on QUIT",
       [this](XSession& x, xcb_window_t w) {
         auto [cx, cy] = QuitButtonCentre(w);
         x.Run("xdotool mousemove --sync " + std::to_string(cx) + " " + std::to_string(cy) +
               " click 1");
       }},
      {"Space on the focused QUIT button", key("space")},
      {"Esc", key("Escape")},
      {"Enter", key("Return")},
      {"close box", [](XSession& x, xcb_window_t w) { x.RequestClose(w); }},
      {"Alt+F4", key("alt+F4")},
  };
  for (const Ending& ending : endings) {
    SCOPED_TRACE(ending.name);
    ProgramRun run;
    xcb_window_t monitor = ShownMonitor(run);
    ASSERT_NE(monitor, XCB_NONE);
    // Nothing may lie over the button when it is clicked: wait for the splash to go.
    ASSERT_TRUE(WaitForSplashToComeAndGo(*x_, run.pid(), kStartTimeout));
    ending.act(*x_, monitor);
    EXPECT_TRUE(run.WaitForExit(kExitTimeout)) << run.ErrorOutput();
    EXPECT_EQ(run.FaultReports(), "");
  }
}

TEST_F(MonitorWindowTest, SplashCannotBeClosedAndGoesAboutASecondAfterTheMonitorIsReady) {
  ProgramRun run;
  std::optional<xcb_window_t> splash;
  ASSERT_TRUE(WaitUntil([&] { return (splash = FindShownSplash(*x_, run.pid())).has_value(); },
                        kStartTimeout, milliseconds(2)));
  x_->RequestClose(*splash);

  // Borderless, centred on the screen, above the other windows.
  auto [width, height] = x_->Size(*splash);
  EXPECT_EQ(x_->Size(x_->TopAncestor(*splash)), std::make_pair(width, height));
  auto reply = xcb_translate_coordinates_reply(
      x_->connection(), xcb_translate_coordinates(x_->connection(), *splash, x_->root(), 0, 0),
      nullptr);
  ASSERT_TRUE(reply);
  EXPECT_NEAR(reply->dst_x + width / 2, 1280 / 2, 2);
  EXPECT_NEAR(reply->dst_y + height / 2, 1024 / 2, 2);
  std::free(reply);
  auto states = x_->Cardinals(*splash, x_->Atom("_NET_WM_STATE"), XCB_ATOM_ATOM);
  EXPECT_NE(std::find(states.begin(), states.end(), x_->Atom("_NET_WM_STATE_ABOVE")), states.end());

  ASSERT_TRUE(WaitForShownMonitor(*x_, run.pid(), kStartTimeout));
  Clock::time_point monitor_ready = Clock::now();
  ASSERT_TRUE(
      WaitUntil([&] { return !x_->IsViewable(*splash); }, milliseconds(5000), milliseconds(2)));
  Clock::time_point gone = Clock::now();
  // The close request was dropped: the splash stayed until its first once-a-second look, which
  // comes a second after it was made, so more than a second after the program started.
  EXPECT_GE(duration_cast<milliseconds>(gone - run.started()).count(), 1000);
  EXPECT_LE(duration_cast<milliseconds>(gone - monitor_ready).count(), 1500);
  EXPECT_FALSE(run.Exited());
}

// Not a pass/fail figure as such: it prints the start time and the memory the program takes,
// and fails only when they are far off (the bounds leave room for sanitizer builds).
TEST_F(MonitorWindowTest, StartsQuicklyAndStaysSmall) {
  ProgramRun run;
  xcb_window_t monitor = ShownMonitor(run);
  ASSERT_NE(monitor, XCB_NONE);
  auto start_ms = duration_cast<milliseconds>(Clock::now() - run.started()).count();
  std::this_thread::sleep_for(milliseconds(2000));
  long rss_kib = run.ResidentKiB();
  std::printf("start to monitor window shown: %lld ms; resident memory: %ld KiB\n",
              static_cast<long long>(start_ms), rss_kib);
  RecordProperty("start_ms", std::to_string(start_ms));
  RecordProperty("resident_kib", std::to_string(rss_kib));
  EXPECT_LT(start_ms, 3000);
  EXPECT_LT(rss_kib, 400 * 1024);
}

}  // namespace
}  // namespace gui_test
