// Modal dialogs: the order of creation, initialization and showing; how they end (EndDialog,
// the dialog manager's keys, the close request); message maps chained to the base map; nested
// handlers inside a pump.
#include "platform/ui/dialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "platform/ui/detail/window_registry.h"
#include "platform/ui/list_ctrl.h"
#include "platform/ui/message_queue.h"
#include "platform/ui/window.h"
#include "tests/ui/test_windows.h"

namespace {

constexpr UINT WM_STEP = WM_USER + 1;
constexpr UINT WM_NESTED = WM_USER + 2;

class TestDialog : public CDialog {
 public:
  explicit TestDialog(UINT id = kTestDialog) : CDialog(id) {}

  std::vector<std::string> log;
  std::function<void(TestDialog&)> on_init;
  std::function<void(TestDialog&)> on_step;
  bool init_result = TRUE;
  bool close_calls_default = true;
  CListCtrl list;

  using CDialog::EndDialog;

 protected:
  void DoDataExchange(CDataExchange* pDX) override {
    log.push_back("exchange");
    DDX_Control(pDX, kTestList, list);
  }
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    log.push_back(IsWindowVisible(m_hWnd) ? "init shown" : "init hidden");
    if (on_init) on_init(*this);
    return init_result;
  }
  void OnOK() override {
    log.push_back("ok");
    CDialog::OnOK();
  }
  void OnCancel() override {
    log.push_back("cancel");
    CDialog::OnCancel();
  }
  void OnClose() {
    log.push_back("close");
    if (close_calls_default) Default();
  }
  void OnGo() { log.push_back("go"); }
  void OnTimer(UINT_PTR id) { log.push_back("timer " + std::to_string(id)); }

 public:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_STEP) {
      log.push_back("step begin");
      if (on_step) on_step(*this);
      log.push_back("step end");
      return 0;
    }
    if (message == WM_NESTED) {
      log.push_back("nested");
      return 0;
    }
    return CDialog::WindowProc(message, wParam, lParam);
  }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TestDialog, CDialog)
ON_WM_CLOSE()
ON_WM_TIMER()
ON_BN_CLICKED(kTestButton, OnGo)
END_MESSAGE_MAP()

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override { ui::SetResources(&TestResources()); }
  void TearDown() override { DrainQueue(); }
  VirtualClockScope clock_;
};

// Posts msg to the dialog's window once it exists (from OnInitDialog).
void PostOnInit(TestDialog& dlg, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  dlg.on_init = [=](TestDialog& d) { PostMessage(d.m_hWnd, message, wParam, lParam); };
}

TEST_F(DialogTest, CreatesHiddenInitializesThenShowsAndDestroysAtTheEnd) {
  TestDialog dlg;
  HWND seen = nullptr;
  bool shown_while_running = false;
  dlg.on_init = [&](TestDialog& d) {
    seen = d.m_hWnd;
    PostMessage(d.m_hWnd, WM_STEP, 0, 0);
  };
  dlg.on_step = [&](TestDialog& d) {
    shown_while_running = IsWindowVisible(d.m_hWnd);
    d.EndDialog(42);
  };
  EXPECT_EQ(dlg.DoModal(), 42);
  EXPECT_EQ(dlg.log.front(), "exchange");
  EXPECT_EQ(dlg.log[1], "init hidden");
  EXPECT_TRUE(shown_while_running);
  EXPECT_FALSE(IsWindow(seen));
  EXPECT_EQ(dlg.m_hWnd, nullptr);
}

TEST_F(DialogTest, TheLoopEndsOnlyAfterTheRunningHandlerReturns) {
  TestDialog dlg;
  PostOnInit(dlg, WM_STEP);
  dlg.on_step = [](TestDialog& d) {
    d.EndDialog(7);
    d.EndDialog(8);  // a second end changes nothing
    d.log.push_back("after end");
  };
  EXPECT_EQ(dlg.DoModal(), 7);
  EXPECT_EQ(std::vector<std::string>(dlg.log.end() - 3, dlg.log.end()),
            (std::vector<std::string>{"step begin", "after end", "step end"}));
}

TEST_F(DialogTest, HandlersRunNestedInsideAPumpAndEndingThereTakesEffectAfterwards) {
  TestDialog dlg;
  PostOnInit(dlg, WM_STEP);
  dlg.on_step = [](TestDialog& d) {
    PostMessage(d.m_hWnd, WM_NESTED, 0, 0);
    PostMessage(d.m_hWnd, WM_COMMAND, IDCANCEL, 0);
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE))
      SendMessage(msg.hwnd, msg.message, msg.wParam, msg.lParam);
    d.log.push_back("pump done");
  };
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(std::vector<std::string>(dlg.log.end() - 5, dlg.log.end()),
            (std::vector<std::string>{"step begin", "nested", "cancel", "pump done", "step end"}));
}

struct KeyCase {
  const char* name;
  UINT message;
  WPARAM wParam;
  bool to_button;    // the message goes to the focused button rather than the dialog
  bool then_escape;  // the message does not end the dialog: Esc follows
  int result;
  std::vector<std::string> tail;
};

void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.name; }

class DialogEnds : public DialogTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(DialogEnds, ByTheDialogManagersKeysAndTheCloseRequest) {
  const KeyCase& c = GetParam();
  TestDialog dlg;
  dlg.on_init = [&](TestDialog& d) {
    HWND target = c.to_button ? GetDlgItem(d.m_hWnd, kTestButton) : d.m_hWnd;
    PostMessage(target, c.message, c.wParam, 0);
    if (c.then_escape) PostMessage(d.m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
  };
  EXPECT_EQ(dlg.DoModal(), c.result);
  EXPECT_EQ(
      std::vector<std::string>(dlg.log.end() - static_cast<long>(c.tail.size()), dlg.log.end()),
      c.tail);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, DialogEnds,
    ::testing::Values(
        KeyCase{"Escape", WM_KEYDOWN, VK_ESCAPE, false, false, IDCANCEL, {"init hidden", "cancel"}},
        // OK runs the data exchange again before ending.
        KeyCase{"Enter", WM_KEYDOWN, VK_RETURN, false, false, IDOK, {"ok", "exchange"}},
        KeyCase{"EnterOnButton", WM_KEYDOWN, VK_RETURN, true, false, IDOK, {"ok", "exchange"}},
        KeyCase{"CloseBox", WM_CLOSE, 0, false, false, IDCANCEL, {"close", "cancel"}},
        KeyCase{"SystemMenuClose",
                WM_SYSCOMMAND,
                SC_CLOSE,
                false,
                false,
                IDCANCEL,
                {"close", "cancel"}},
        KeyCase{"SpaceOnButton", WM_KEYDOWN, VK_SPACE, true, true, IDCANCEL, {"go", "cancel"}},
        KeyCase{"ButtonClick",
                WM_COMMAND,
                MAKEWPARAM(kTestButton, BN_CLICKED),
                false,
                true,
                IDCANCEL,
                {"go", "cancel"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DialogTest, ACloseHandlerThatSkipsTheDefaultKeepsTheDialog) {
  TestDialog dlg;
  dlg.close_calls_default = false;
  dlg.on_init = [](TestDialog& d) {
    PostMessage(d.m_hWnd, WM_CLOSE, 0, 0);
    PostMessage(d.m_hWnd, WM_STEP, 0, 0);
  };
  dlg.on_step = [](TestDialog& d) { d.EndDialog(5); };
  EXPECT_EQ(dlg.DoModal(), 5);
}

TEST_F(DialogTest, TimersArriveThroughTheMessageMapAndDieWithTheWindow) {
  TestDialog dlg;
  dlg.on_init = [](TestDialog& d) { d.SetTimer(3, 100, nullptr); };
  ui::RunAt(250, [&] { PostMessage(dlg.m_hWnd, WM_COMMAND, IDCANCEL, 0); });
  dlg.DoModal();
  EXPECT_EQ(std::count(dlg.log.begin(), dlg.log.end(), "timer 3"), 2);
  EXPECT_TRUE(DrainQueue().empty());
}

TEST_F(DialogTest, FocusGoesToTheFirstTabStopWhenInitReturnsTrue) {
  for (bool init_result : {true, false}) {
    TestDialog dlg;
    dlg.init_result = init_result;
    bool focused = false;
    PostOnInit(dlg, WM_STEP);
    dlg.on_step = [&](TestDialog& d) {
      HWND button = GetDlgItem(d.m_hWnd, kTestButton);
      std::lock_guard lock(ui::WindowMutex());
      focused = ui::FindWindowState(button)->focused;
      d.EndDialog(0);
    };
    dlg.DoModal();
    EXPECT_EQ(focused, init_result);
  }
}

TEST_F(DialogTest, DataExchangeBindsTheListAndFailsForAMissingControl) {
  TestDialog dlg;
  PostOnInit(dlg, WM_STEP);
  bool bound = false;
  dlg.on_step = [&](TestDialog& d) {
    bound = d.list.m_hWnd == GetDlgItem(d.m_hWnd, kTestList);
    d.EndDialog(0);
  };
  dlg.DoModal();
  EXPECT_TRUE(bound);

  CWnd orphan;  // no window: nothing to bind to
  CListCtrl control;
  CDataExchange dx(&orphan, TRUE);
  DDX_Control(&dx, kTestList, control);
  EXPECT_TRUE(dx.m_bFailed);
}

TEST_F(DialogTest, AMissingTemplateEndsAtOnce) {
  TestDialog dlg(9999);
  EXPECT_EQ(dlg.DoModal(), -1);
  EXPECT_TRUE(dlg.log.empty());
}

}  // namespace
