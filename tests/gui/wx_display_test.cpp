// The wx display in this process, on an X server of the test's own: starting it shows nothing,
// and a model window has its X window, titled, from the moment it is made, long before it is
// shown. (GTK can be started once per process, so this is one scenario.)
#include "platform/ui/wx/wx_display.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/ui/detail/window_registry.h"
#include "platform/ui/window.h"
#include "platform/ui/wx/x11_windows.h"
#include "tests/gui/wait_until.h"
#include "tests/gui/x_session.h"

namespace gui_test {
namespace {

using std::chrono::milliseconds;

constexpr milliseconds kTimeout(10000);

// This process's client window titled `title`.
std::optional<xcb_window_t> OwnWindowTitled(const std::string& title) {
  std::vector<ui::wx::X11Client> clients;
  ui::wx::ListX11Clients(&clients);
  for (const auto& c : clients)
    if (c.pid == static_cast<std::uint32_t>(getpid()) && c.title == title)
      return static_cast<xcb_window_t>(c.id);
  return std::nullopt;
}

TEST(WxDisplayTest, ShowsNothingOnStartAndMirrorsAModelWindowFromItsCreation) {
  std::string why;
  auto x = XSession::Start(false, &why);
  if (!x) GTEST_SKIP() << why;
  RootMapWatch maps(*x);
  std::unique_ptr<ui::Display> display = CreateWxDisplay();
  ASSERT_TRUE(display->Start());
  ui::AddWindowObserver(display.get());
  std::this_thread::sleep_for(milliseconds(300));
  EXPECT_TRUE(maps.Mapped().empty()) << "starting the display showed a window";

  ui::WindowState dialog;
  dialog.kind = ui::WindowKind::kDialog;
  dialog.text = "Probe";
  dialog.style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  dialog.dialog_units = RECT{0, 0, 120, 60};
  HWND hwnd = ui::CreateWindowState(dialog);

  std::optional<xcb_window_t> window;
  ASSERT_TRUE(WaitUntil([&] { return (window = OwnWindowTitled("Probe")).has_value(); }, kTimeout));
  EXPECT_FALSE(x->IsViewable(*window));

  ShowWindow(hwnd, SW_SHOW);
  EXPECT_TRUE(WaitUntil([&] { return x->IsViewable(*window); }, kTimeout));
  SetWindowText(hwnd, "Probe renamed");
  EXPECT_TRUE(WaitUntil([&] { return OwnWindowTitled("Probe renamed") == window; }, kTimeout));
  ShowWindow(hwnd, SW_HIDE);
  EXPECT_TRUE(WaitUntil([&] { return !x->IsViewable(*window); }, kTimeout));
  DestroyWindow(hwnd);
  EXPECT_TRUE(WaitUntil([&] { return !x->Exists(*window); }, kTimeout));

  ui::RemoveWindowObserver(display.get());
  display->Stop();
}

}  // namespace
}  // namespace gui_test
