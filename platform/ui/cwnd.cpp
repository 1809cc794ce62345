#include "platform/ui/cwnd.h"

#include "platform/ui/detail/window_registry.h"
#include "platform/ui/display.h"
#include "platform/ui/message_queue.h"
#include "platform/ui/win_app.h"
#include "platform/ui/window.h"

namespace {

// The message each nested handler of this thread is running, for Default().
struct CurrentMessage {
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};
thread_local CurrentMessage t_current;

bool Matches(const AFX_MSGMAP_ENTRY& e, UINT message, WPARAM wParam) {
  if (e.nMessage != message) return false;
  if (message != WM_COMMAND) return true;
  return e.nID == LOWORD(wParam) && e.nCode == HIWORD(wParam);
}

}  // namespace

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
  static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, nullptr}};
  static const AFX_MSGMAP map = {nullptr, &entries[0]};
  return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

bool CCmdTarget::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  for (const AFX_MSGMAP* map = GetMessageMap(); map;
       map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
    for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->thunk; ++e) {
      if (Matches(*e, message, wParam)) {
        *result = e->thunk(this, wParam, lParam);
        return true;
      }
    }
  }
  return false;
}

void CCmdTarget::BeginWaitCursor() {
  if (CWinApp* app = AfxGetApp()) app->DoWaitCursor(1);
}

void CCmdTarget::EndWaitCursor() {
  if (CWinApp* app = AfxGetApp()) app->DoWaitCursor(-1);
}

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

CWnd::~CWnd() {
  std::lock_guard lock(ui::WindowMutex());
  if (ui::WindowState* w = ui::FindWindowState(m_hWnd); w && w->wnd == this) w->wnd = nullptr;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  CurrentMessage saved = t_current;
  t_current = CurrentMessage{message, wParam, lParam};
  LRESULT result = 0;
  bool handled = OnWndMsg(message, wParam, lParam, &result);
  // Commands no window handles go to the application, as the framework routes them.
  if (!handled && message == WM_COMMAND && AfxGetApp() &&
      static_cast<CCmdTarget*>(AfxGetApp()) != this)
    handled = AfxGetApp()->OnWndMsg(message, wParam, lParam, &result);
  if (!handled) result = ::DefWindowProc(m_hWnd, message, wParam, lParam);
  t_current = saved;
  return result;
}

LRESULT CWnd::Default() {
  return ::DefWindowProc(m_hWnd, t_current.message, t_current.wParam, t_current.lParam);
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
  CDataExchange dx(this, bSaveAndValidate);
  DoDataExchange(&dx);
  return dx.m_bFailed ? FALSE : TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
  HWND control = ::GetDlgItem(parent->m_hWnd, static_cast<int>(id));
  std::lock_guard lock(ui::WindowMutex());
  ui::WindowState* w = ui::FindWindowState(control);
  if (!w) return FALSE;
  w->wnd = this;
  m_hWnd = control;
  return TRUE;
}

void DDX_Control(CDataExchange* pDX, int id, CWnd& control) {
  if (control.m_hWnd) return;
  if (!control.SubclassDlgItem(static_cast<UINT>(id), pDX->m_pDlgWnd)) pDX->m_bFailed = true;
}

void CWnd::SetWindowText(const char* text) { ::SetWindowText(m_hWnd, text); }

void CWnd::CenterWindow(CWnd* /*alternateOwner*/) {
  ui::NotifyWindowChange(m_hWnd, ui::Change::kCentered);
}

CWnd* CWnd::SetFocus() {
  ::SetFocus(m_hWnd);
  return nullptr;
}

BOOL CWnd::IsIconic() const { return ::IsIconic(m_hWnd); }
void CWnd::GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }
BOOL CWnd::SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::SendMessage(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::PostMessage(m_hWnd, message, wParam, lParam);
}

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapseMs, void* timerProc) {
  return ::SetTimer(m_hWnd, id, elapseMs, timerProc);
}

BOOL CWnd::KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
