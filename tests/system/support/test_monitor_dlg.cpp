#include "tests/system/support/test_monitor_dlg.h"

#include <algorithm>
#include <utility>

#include "platform/ui/detail/queue_state.h"
#include "platform/ui/message_queue.h"

namespace {

constexpr UINT kRunTask = WM_APP + 1;

// The running timers of a window owned by the calling thread, sorted by id.
std::vector<UINT_PTR> RunningTimers(HWND hwnd) {
  std::vector<UINT_PTR> ids;
  auto queue = ui::CurrentQueue();
  std::lock_guard lock(ui::QueueMutex());
  for (const ui::WindowTimer& t : queue->timers)
    if (t.hwnd == hwnd) ids.push_back(t.id);
  std::sort(ids.begin(), ids.end());
  return ids;
}

}  // namespace

void TestMonitorDlg::RunInsteadOfInit(std::function<void(TestMonitorDlg&)> body) {
  m_body = std::move(body);
}

void TestMonitorDlg::PostTask(std::function<void()> fn) {
  {
    std::lock_guard lock(m_tasksMutex);
    m_tasks.push_back(std::move(fn));
  }
  ::PostMessage(Window(), kRunTask, 0, 0);
}

std::vector<LANA_NODE*> TestMonitorDlg::Records() const {
  std::vector<LANA_NODE*> records;
  if (m_pLanaList)
    for (LANA_NODE* node = m_pLanaList->next; node; node = node->next) records.push_back(node);
  return records;
}

void TestMonitorDlg::ReleaseRecords() {
  for (LANA_NODE* node : Records()) delete node;
  delete m_pLanaList;
  m_pLanaList = nullptr;
}

BOOL TestMonitorDlg::OnInitDialog() {
  m_window = m_hWnd;
  if (auto hook = std::exchange(m_windowReady, nullptr)) hook();
  if (m_body) {
    CDialog::OnInitDialog();
    CreateStationColumns();
    m_pLanaList = new LANA_NODE();
    m_body(*this);
    ReleaseRecords();
    EndDialog(IDOK);
    return FALSE;
  }
  BOOL result = CMonitorDlg::OnInitDialog();
  for (LANA_NODE* node : Records()) m_recordsAfterInit.push_back(*node);
  return result;
}

LRESULT TestMonitorDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && wParam == IDT_SWEEP) {
    LRESULT result = CMonitorDlg::WindowProc(message, wParam, lParam);
    m_timersAfterSweep = RunningTimers(m_hWnd);
    return result;
  }
  if (message != kRunTask) return CMonitorDlg::WindowProc(message, wParam, lParam);
  std::function<void()> task;
  {
    std::lock_guard lock(m_tasksMutex);
    if (m_tasks.empty()) return 0;
    task = std::move(m_tasks.front());
    m_tasks.pop_front();
  }
  task();
  return 0;
}
