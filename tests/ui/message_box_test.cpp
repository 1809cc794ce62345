// Message boxes without a screen: answered OK at once, their text on standard error, captioned
// with the application name.
#include "platform/ui/message_box.h"

#include <gtest/gtest.h>

#include "platform/ui/detail/window_registry.h"
#include "platform/ui/display.h"
#include "platform/ui/headless/headless_display.h"
#include "platform/ui/win_app.h"
#include "tests/ui/test_windows.h"

namespace {

// Remembers the title of every message box shown.
class BoxTitles : public ui::WindowObserver {
 public:
  void OnWindowChange(HWND hwnd, ui::Change change) override {
    if (change != ui::Change::kVisibility) return;
    std::lock_guard lock(ui::WindowMutex());
    const ui::WindowState* w = ui::FindWindowState(hwnd);
    if (w && w->is_message_box && w->visible) titles.push_back(w->text);
  }
  std::vector<std::string> titles;
};

TEST(MessageBox, HeadlessAnswersOkAndWritesTheTextToStandardError) {
  ui::SetResources(&TestResources());
  CWinApp app;
  SetAppNameFromPath("/usr/local/bin/monitor.exe");
  ui::HeadlessDisplay display;
  BoxTitles titles;
  ui::AddWindowObserver(&display);
  ui::AddWindowObserver(&titles);
  testing::internal::CaptureStderr();
  EXPECT_EQ(AfxMessageBox("Line one\n  line two", MB_ICONSTOP), IDOK);
  EXPECT_EQ(AfxMessageBox(7u, MB_ICONSTOP), IDOK);  // from the string table
  std::string err = testing::internal::GetCapturedStderr();
  ui::RemoveWindowObserver(&titles);
  ui::RemoveWindowObserver(&display);
  EXPECT_EQ(err, "Line one\n  line two\nSeven\n");
  EXPECT_EQ(titles.titles, (std::vector<std::string>{"monitor", "monitor"}));
  EXPECT_TRUE(ui::TopLevelWindows().empty());
}

}  // namespace
