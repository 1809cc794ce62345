#include "tests/ui/test_windows.h"

#include "platform/ui/detail/window_registry.h"
#include "platform/ui/message_queue.h"
#include "platform/ui/window.h"

namespace {

const char* const kGoXpm[] = {"40 20 1 1", ". c #808080",
#define ROW "........................................"
                              ROW,         ROW,           ROW, ROW, ROW, ROW, ROW, ROW, ROW, ROW,
                              ROW,         ROW,           ROW, ROW, ROW, ROW, ROW, ROW, ROW, ROW};
#undef ROW

const ui::ResourceTable kResources = {
    {{7, "Seven"}},
    {{kTestDialog,
      "Test dialog",
      WS_POPUP | WS_CAPTION | WS_VISIBLE,
      0,
      100,
      80,
      "MS Sans Serif",
      8,
      {
          ui::DialogItem{kTestButton, ui::ControlClass::kButton, "GO", 10, 10, 30, 12,
                         WS_VISIBLE | WS_TABSTOP},
          ui::DialogItem{kTestList, ui::ControlClass::kListView, "", 10, 30, 80, 40,
                         WS_VISIBLE | WS_TABSTOP | LVS_REPORT},
          ui::DialogItem{-1, ui::ControlClass::kStatic, "label", 50, 10, 40, 10, WS_VISIBLE},
      }}},
    {},
    {{"GOU", kGoXpm}, {"GOD", kGoXpm}},
};

}  // namespace

RecordingWnd::RecordingWnd() {
  ui::WindowState state;
  state.kind = ui::WindowKind::kStatic;
  state.wnd = this;
  m_hWnd = ui::CreateWindowState(std::move(state));
}

RecordingWnd::~RecordingWnd() {
  if (m_hWnd) ::DestroyWindow(m_hWnd);
}

LRESULT RecordingWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  received.push_back(MSG{m_hWnd, message, wParam, lParam, 0, {0, 0}});
  return CWnd::WindowProc(message, wParam, lParam);
}

const ui::ResourceTable& TestResources() { return kResources; }

std::vector<MSG> DrainQueue() {
  std::vector<MSG> messages;
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) messages.push_back(msg);
  return messages;
}
