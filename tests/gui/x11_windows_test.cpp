// The X11 window walk and activation that the single-instance guard rests on, against windows
// the test makes itself, with and without a window manager.
#include "platform/ui/wx/x11_windows.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>

#include "tests/gui/wait_until.h"
#include "tests/gui/x_session.h"

namespace gui_test {
namespace {

using std::chrono::milliseconds;
using ui::wx::X11Client;

constexpr milliseconds kTimeout(10000);

std::vector<X11Client> Clients() {
  std::vector<X11Client> clients;
  EXPECT_TRUE(ui::wx::ListX11Clients(&clients));
  return clients;
}

// Position of each window in the walk; -1 when it is not listed.
std::vector<int> Positions(const std::vector<X11Client>& clients,
                           const std::vector<xcb_window_t>& windows) {
  std::vector<int> positions;
  for (xcb_window_t w : windows) {
    auto it =
        std::find_if(clients.begin(), clients.end(), [&](const X11Client& c) { return c.id == w; });
    positions.push_back(it == clients.end() ? -1 : static_cast<int>(it - clients.begin()));
  }
  return positions;
}

std::string TitleOf(const std::vector<X11Client>& clients, xcb_window_t w) {
  for (const auto& c : clients)
    if (c.id == w) return c.title;
  return "<not listed>";
}

class X11WindowsTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    std::string why;
    x_ = XSession::Start(GetParam(), &why);
    if (!x_) GTEST_SKIP() << why;
  }

  // Waits until a mapped window is shown (managed, when there is a window manager).
  void WaitShown(xcb_window_t w) {
    ASSERT_TRUE(WaitUntil([&] { return x_->IsViewable(w) && (!GetParam() || x_->WmState(w) == 1); },
                          kTimeout));
  }

  std::unique_ptr<XSession> x_;
};

TEST_P(X11WindowsTest, ListsClientWindowsTopmostFirstHiddenOnesTooWithTheirTitles) {
  xcb_window_t lower = x_->CreateWindow("lower", true);
  WaitShown(lower);
  xcb_window_t upper = x_->CreateWindow("upper", true);
  WaitShown(upper);
  xcb_window_t hidden = x_->CreateWindow("hidden", false);
  // Only WM_NAME, in Latin-1.
  xcb_window_t legacy = x_->CreateWindow("", false);
  xcb_delete_property(x_->connection(), legacy, x_->Atom("_NET_WM_NAME"));
  const std::string latin1 = "caf\xE9";
  xcb_change_property(x_->connection(), XCB_PROP_MODE_REPLACE, legacy, XCB_ATOM_WM_NAME,
                      XCB_ATOM_STRING, 8, static_cast<std::uint32_t>(latin1.size()), latin1.data());
  // _NET_WM_NAME wins over WM_NAME; a long title is read whole (the layer cuts it later).
  const std::string long_title(300, 'x');
  xcb_window_t both = x_->CreateWindow(long_title, false);
  xcb_change_property(x_->connection(), XCB_PROP_MODE_REPLACE, both, XCB_ATOM_WM_NAME,
                      XCB_ATOM_STRING, 8, 5, "other");
  xcb_flush(x_->connection());

  auto clients = Clients();
  auto at = Positions(clients, {upper, lower, hidden, legacy, both});
  for (int p : at) EXPECT_GE(p, 0);
  EXPECT_LT(at[0], at[1]) << "the upper window comes first";
  EXPECT_EQ(TitleOf(clients, upper), "upper");
  EXPECT_EQ(TitleOf(clients, hidden), "hidden");
  EXPECT_EQ(TitleOf(clients, legacy), latin1);
  EXPECT_EQ(TitleOf(clients, both), long_title);
  // With a window manager the frames stand in the stacking order, but the walk names the
  // client inside.
  if (GetParam()) {
    EXPECT_NE(x_->TopAncestor(upper), upper);
  }
}

TEST_P(X11WindowsTest, LeavesOutOnlyThisProcesssOwnWindows) {
  xcb_window_t mine = x_->CreateWindow("mine", false);
  xcb_window_t other = x_->CreateWindow("other", false);
  auto set_pid = [&](xcb_window_t w, std::uint32_t pid) {
    xcb_change_property(x_->connection(), XCB_PROP_MODE_REPLACE, w, x_->Atom("_NET_WM_PID"),
                        XCB_ATOM_CARDINAL, 32, 1, &pid);
  };
  set_pid(mine, static_cast<std::uint32_t>(getpid()));
  set_pid(other, static_cast<std::uint32_t>(getpid()) + 1);
  xcb_flush(x_->connection());

  std::vector<ui::ForeignWindow> foreign;
  ASSERT_TRUE(ui::wx::ListX11TopLevelWindows(&foreign));
  auto listed = [&](xcb_window_t w) {
    return std::any_of(foreign.begin(), foreign.end(),
                       [&](const ui::ForeignWindow& f) { return f.id == w; });
  };
  EXPECT_FALSE(listed(mine));
  EXPECT_TRUE(listed(other));
}

TEST_P(X11WindowsTest, ActivationShowsAHiddenWindow) {
  xcb_window_t hidden = x_->CreateWindow("hidden", false);
  ui::wx::ActivateX11Window(hidden);
  WaitShown(hidden);
  if (GetParam()) {
    EXPECT_TRUE(WaitUntil([&] { return x_->ActiveWindow() == hidden; }, kTimeout));
  }
}

INSTANTIATE_TEST_SUITE_P(WindowManager, X11WindowsTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Openbox" : "Bare"; });

TEST(X11ActivationTest, RestoresAMinimisedWindowAndMakesItActive) {
  std::string why;
  auto x = XSession::Start(true, &why);
  if (!x) GTEST_SKIP() << why;
  xcb_window_t window = x->CreateWindow("window", true);
  ASSERT_TRUE(WaitUntil([&] { return x->WmState(window) == 1; }, kTimeout));
  x->Minimise(window);
  ASSERT_TRUE(WaitUntil([&] { return x->WmState(window) == 3; }, kTimeout));
  ui::wx::ActivateX11Window(window);
  EXPECT_TRUE(WaitUntil(
      [&] {
        return x->WmState(window) == 1 && x->IsViewable(window) && x->ActiveWindow() == window;
      },
      kTimeout));
}

}  // namespace
}  // namespace gui_test
