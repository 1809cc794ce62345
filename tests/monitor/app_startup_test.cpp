// Start-up when a copy is already running: nothing is shown, the flag is not touched, and the
// running copy's window is brought to the front.
#include <gtest/gtest.h>

#include "app/monitor_app.h"
#include "monitor/init_done.h"
#include "platform/ui/detail/window_registry.h"
#include "res/resource.h"
#include "tests/common/window_owner_process.h"

namespace {

TEST(AppStartup, ASecondCopyShowsNothingAndBringsTheFirstToTheFront) {
  ui::SetResources(&PellorinResources());
  WindowOwnerProcess running_copy({"Pellorin"}, "Pellorin");
  ASSERT_TRUE(running_copy.Started());

  CMonitorApp app;
  g_bInitDone = 7;
  EXPECT_FALSE(app.InitInstance());
  EXPECT_EQ(g_bInitDone.load(), 7u);
  EXPECT_TRUE(ui::TopLevelWindows().empty());
  EXPECT_TRUE(running_copy.WatchedWindowWasShown()) << "the running copy's window was not shown";
}

}  // namespace
