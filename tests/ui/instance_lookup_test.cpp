// Finding a running copy without a display: another process's top-level windows, hidden ones
// too, are listed by title through its socket, and activation shows and raises the window.
#include "platform/ui/instance_lookup.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/ui/detail/window_registry.h"
#include "platform/ui/window.h"
#include "tests/common/window_owner_process.h"

namespace {

HWND MakeTopLevel(const std::string& title) {
  ui::WindowState state;
  state.kind = ui::WindowKind::kDialog;
  state.text = title;
  return ui::CreateWindowState(std::move(state));
}

TEST(InstanceLookup, FindsAnotherProcesssHiddenWindowByExactTitleAndActivatesIt) {
  const std::string title = "Lookup" + std::to_string(getpid());
  WindowOwnerProcess owner({title + "2", "x" + title.substr(1), title}, title);
  ASSERT_TRUE(owner.Started());

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
  EXPECT_TRUE(owner.WatchedWindowWasShown()) << "the window was not shown";
}

TEST(InstanceLookup, GetWindowTextCutsLongTitles) {
  HWND w = MakeTopLevel(std::string(300, 'P'));
  char buffer[255];
  EXPECT_EQ(GetWindowText(w, buffer, 255), 254);
  EXPECT_EQ(std::strlen(buffer), 254u);
  DestroyWindow(w);
}

}  // namespace
