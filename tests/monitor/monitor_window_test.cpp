// The monitor window itself: the icon drawn when minimised, the drag icon, and the order of
// the no-adapter start (the splash flag is raised before the message box appears).
#include <gtest/gtest.h>

#include <functional>

#include "monitor/init_done.h"
#include "monitor/monitor_dlg.h"
#include "platform/netbios/netbios.h"
#include "platform/ui/clock.h"
#include "platform/ui/detail/window_registry.h"
#include "platform/ui/display.h"
#include "platform/ui/headless/headless_display.h"
#include "res/resource.h"
#include "tests/common/message_box_watch.h"

namespace {

constexpr UINT WM_RUN_SCRIPT = WM_APP + 1;

// The monitor dialog with a script run on its thread once it is up, then closed as the close
// box does (which releases the adapter list).
class ScriptedMonitor : public CMonitorDlg {
 public:
  std::function<void(ScriptedMonitor&)> script;
  using CMonitorDlg::m_hIcon;

 protected:
  BOOL OnInitDialog() override {
    BOOL result = CMonitorDlg::OnInitDialog();
    PostMessage(WM_RUN_SCRIPT);
    return result;
  }
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message != WM_RUN_SCRIPT) return CMonitorDlg::WindowProc(message, wParam, lParam);
    script(*this);
    SendMessage(WM_CLOSE);
    return 0;
  }
};

class MonitorDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ui::SetResources(&PellorinResources());
    ui::UseVirtualClock();
    ui::AddWindowObserver(&display_);
    ui::AddWindowObserver(&flag_);
    InstallNetbiosService(nullptr);  // no adapter
  }
  void TearDown() override {
    ui::RemoveWindowObserver(&flag_);
    ui::RemoveWindowObserver(&display_);
    ui::UseRealClock();
  }
  CWinApp app_{"pellorin"};
  ui::HeadlessDisplay display_;
  // g_bInitDone at each moment a message box shows.
  std::vector<std::uint32_t> flags_at_box_;
  MessageBoxWatch flag_{[this](const ui::WindowState&) { flags_at_box_.push_back(g_bInitDone); }};
};

TEST_F(MonitorDialogTest, WithoutAnAdapterTheFlagIsRaisedBeforeTheMessageShowsOnce) {
  g_bInitDone = 0;
  ScriptedMonitor dlg;
  dlg.script = [](ScriptedMonitor&) {};
  testing::internal::CaptureStderr();
  dlg.DoModal();
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(flags_at_box_, std::vector<std::uint32_t>{1});
  EXPECT_EQ(err,
            "No Holmsgard Redirector name is found in this machine.\n"
            "  Please make sure Holmsgard is running.\n");
}

TEST_F(MonitorDialogTest, MinimisedItDrawsItsIconCentredWithTruncatingDivision) {
  struct Case {
    int client;
    int expected;
  } cases[] = {{36, 2}, {30, 0}, {29, -1}, {32, 0}, {100, 34}};
  ScriptedMonitor dlg;
  std::vector<ui::IconPlacement> placements;
  HICON drag = nullptr;
  dlg.script = [&](ScriptedMonitor& d) {
    drag = reinterpret_cast<HICON>(d.SendMessage(WM_QUERYDRAGICON));
    for (const Case& c : cases) {
      {
        std::lock_guard lock(ui::WindowMutex());
        ui::WindowState* w = ui::FindWindowState(d.m_hWnd);
        w->iconic = true;
        w->width_px = w->height_px = c.client;
      }
      d.SendMessage(WM_PAINT);
      placements.push_back(ui::LastIconPlacement());
    }
  };
  testing::internal::CaptureStderr();
  dlg.DoModal();
  testing::internal::GetCapturedStderr();
  ASSERT_EQ(placements.size(), std::size(cases));
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(placements[i].x, cases[i].expected) << cases[i].client;
    EXPECT_EQ(placements[i].y, cases[i].expected) << cases[i].client;
    EXPECT_EQ(placements[i].icon, dlg.m_hIcon);
  }
  EXPECT_NE(dlg.m_hIcon, nullptr);
  EXPECT_EQ(drag, dlg.m_hIcon);
}

TEST_F(MonitorDialogTest, NotMinimisedPaintingIsLeftToTheDefault) {
  ScriptedMonitor dlg;
  ui::IconPlacement before{}, after{};
  dlg.script = [&](ScriptedMonitor& d) {
    before = ui::LastIconPlacement();
    d.SendMessage(WM_PAINT);
    after = ui::LastIconPlacement();
  };
  testing::internal::CaptureStderr();
  dlg.DoModal();
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(before.hwnd, after.hwnd);
  EXPECT_EQ(before.x, after.x);
}

}  // namespace
