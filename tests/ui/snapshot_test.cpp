// The snapshot file: its format and escapes, written once per burst of changes by atomic
// replacement, and an unwritable path reported once without stopping anything.
#include "platform/ui/snapshot.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/ui/detail/window_registry.h"
#include "platform/ui/display.h"
#include "platform/ui/list_ctrl.h"
#include "platform/ui/window.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(SnapshotEscape, TableOfBytes) {
  struct Case {
    std::string in, out;
  } cases[] = {
      {"plain text", "plain text"},
      {"back\\slash", "back\\\\slash"},
      {"tab\there", "tab\\there"},
      {"line\nfeed", "line\\nfeed"},
      {std::string("nul\0in", 6), "nul\\x00in"},
      {"\x1f\x7f\x80\xff", "\\x1F\\x7F\\x80\\xFF"},
      {"~ !", "~ !"},
  };
  for (const Case& c : cases) EXPECT_EQ(ui::EscapeSnapshotText(c.in), c.out) << c.out;
}

class SnapshotTest : public ::testing::Test {
 protected:
  SnapshotTest() {
    ui::WindowState dialog;
    dialog.kind = ui::WindowKind::kDialog;
    dialog.text = "Main\tWindow";
    main_ = ui::CreateWindowState(std::move(dialog));
    ui::WindowState list;
    list.kind = ui::WindowKind::kListView;
    list.parent = main_;
    list.wnd = &list_;
    list_.m_hWnd = ui::CreateWindowState(std::move(list));
    ui::WindowState other;
    other.kind = ui::WindowKind::kDialog;
    other.text = "Second";
    second_ = ui::CreateWindowState(std::move(other));
  }
  ~SnapshotTest() override {
    ui::StopSnapshot();
    DestroyWindow(main_);
    DestroyWindow(second_);
    std::filesystem::remove_all(dir_);
  }
  HWND main_, second_;
  CListCtrl list_;
  std::string dir_ = std::filesystem::temp_directory_path() / ("snap" + std::to_string(getpid()));
};

TEST_F(SnapshotTest, ShowsWindowsListsAndRowsInCreationOrder) {
  ShowWindow(main_, SW_SHOW);
  list_.InsertColumn(0, "#A", LVCFMT_LEFT, 30);
  list_.InsertColumn(1, "Name", LVCFMT_LEFT, 100);
  list_.InsertItem(0, "00");
  list_.SetItemText(0, 1, "BIRCH\\1");
  list_.InsertItem(1, "0A");
  EXPECT_EQ(ui::RenderSnapshot(),
            "window\tMain\\tWindow\tshown\n"
            "columns\t#A\tName\n"
            "row\t00\tBIRCH\\\\1\n"
            "row\t0A\t\n"
            "\n"
            "window\tSecond\thidden\n");
}

TEST_F(SnapshotTest, AListWithoutColumnsGivesABareColumnsLine) {
  EXPECT_EQ(ui::RenderSnapshot(),
            "window\tMain\\tWindow\thidden\ncolumns\n\nwindow\tSecond\thidden\n");
}

TEST_F(SnapshotTest, IsRewrittenWhenTheThreadGoesIdleAndLeavesNoTemporaryFile) {
  std::filesystem::create_directories(dir_);
  std::string path = dir_ + "/snap";
  ui::StartSnapshot(path);
  EXPECT_EQ(ReadFile(path), ui::RenderSnapshot());
  SetWindowText(second_, "Renamed");
  ui::RunBeforeWaitHooks();
  EXPECT_NE(ReadFile(path).find("window\tRenamed\thidden"), std::string::npos);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_),
                          std::filesystem::directory_iterator()),
            1);
}

TEST_F(SnapshotTest, AnUnwritablePathIsOneLineOnStandardError) {
  testing::internal::CaptureStderr();
  ui::StartSnapshot("/nonexistent-dir/snap");
  SetWindowText(second_, "Again");
  ui::RunBeforeWaitHooks();
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  EXPECT_NE(err.find("/nonexistent-dir/snap"), std::string::npos);
}

}  // namespace
