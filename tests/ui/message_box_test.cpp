// Message boxes without a screen: answered OK at once, their text on standard error, captioned
// with the application name.
#include "platform/ui/message_box.h"

#include <gtest/gtest.h>

#include "platform/ui/detail/window_registry.h"
#include "platform/ui/display.h"
#include "platform/ui/headless/headless_display.h"
#include "platform/ui/win_app.h"
#include "tests/common/message_box_watch.h"
#include "tests/ui/test_windows.h"

namespace {

TEST(MessageBox, HeadlessAnswersOkAndWritesTheTextToStandardError) {
  ui::SetResources(&TestResources());
  CWinApp app;
  SetAppNameFromPath("/usr/local/bin/monitor.exe");
  ui::HeadlessDisplay display;
  std::vector<std::string> titles;
  MessageBoxWatch watch([&](const ui::WindowState& w) { titles.push_back(w.text); });
  ui::AddWindowObserver(&display);
  ui::AddWindowObserver(&watch);
  testing::internal::CaptureStderr();
  EXPECT_EQ(AfxMessageBox("Line one\n  line two", MB_ICONSTOP), IDOK);
  EXPECT_EQ(AfxMessageBox(7u, MB_ICONSTOP), IDOK);  // from the string table
  std::string err = testing::internal::GetCapturedStderr();
  ui::RemoveWindowObserver(&watch);
  ui::RemoveWindowObserver(&display);
  EXPECT_EQ(err, "Line one\n  line two\nSeven\n");
  EXPECT_EQ(titles, (std::vector<std::string>{"monitor", "monitor"}));
  EXPECT_TRUE(ui::TopLevelWindows().empty());
}

}  // namespace
