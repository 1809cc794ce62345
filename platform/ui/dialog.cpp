#include "platform/ui/dialog.h"

#include "platform/ui/detail/window_registry.h"
#include "platform/ui/message_queue.h"
#include "platform/ui/win_app.h"
#include "platform/ui/window.h"

namespace {

ui::WindowKind KindOf(ui::ControlClass c) {
  switch (c) {
    case ui::ControlClass::kButton:
      return ui::WindowKind::kButton;
    case ui::ControlClass::kStatic:
      return ui::WindowKind::kStatic;
    case ui::ControlClass::kListView:
      return ui::WindowKind::kListView;
  }
  return ui::WindowKind::kStatic;
}

}  // namespace

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_WM_INITDIALOG()
ON_COMMAND(IDOK, OnOK)
ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::CDialog(const ui::DialogTemplate* dialogTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(0), m_pTemplate(dialogTemplate), m_pParentWnd(pParentWnd) {}

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::EndDialog(int nResult) {
  if (m_bEnded) return;
  m_bEnded = true;
  m_nModalResult = nResult;
}

HWND CDialog::CreateFromTemplate(const ui::DialogTemplate& t) {
  ui::WindowState dialog;
  dialog.kind = ui::WindowKind::kDialog;
  dialog.text = std::string(t.caption);
  dialog.style = t.style & ~WS_VISIBLE;
  dialog.ex_style = t.ex_style;
  dialog.dialog_units = RECT{0, 0, t.cx, t.cy};
  dialog.font_face = std::string(t.font_face);
  dialog.font_points = t.font_points;
  dialog.wnd = this;
  HWND hwnd = ui::CreateWindowState(std::move(dialog));
  m_hWnd = hwnd;
  for (const ui::DialogItem& item : t.items) {
    ui::WindowState control;
    control.kind = KindOf(item.control);
    control.id = item.id;
    control.parent = hwnd;
    control.style = item.style;
    control.visible = (item.style & WS_VISIBLE) != 0;
    control.enabled = (item.style & WS_DISABLED) == 0;
    control.dialog_units = RECT{item.x, item.y, item.cx, item.cy};
    if (item.control == ui::ControlClass::kStatic && (item.style & 0x1F) == SS_BITMAP)
      control.bitmap_names.emplace_back(item.text);
    else
      control.text = std::string(item.text);
    ui::CreateWindowState(std::move(control));
  }
  return hwnd;
}

// The dialog manager's keys: Esc cancels, Enter is OK, Space clicks the focused button.
bool CDialog::IsDialogMessage(const MSG& msg) {
  if (msg.message != WM_KEYDOWN) return false;
  if (msg.hwnd != m_hWnd && ::GetParent(msg.hwnd) != m_hWnd) return false;
  switch (msg.wParam) {
    case VK_ESCAPE:
      ::SendMessage(m_hWnd, WM_COMMAND, IDCANCEL, 0);
      return true;
    case VK_RETURN:
      ::SendMessage(m_hWnd, WM_COMMAND, IDOK, 0);
      return true;
    case VK_SPACE: {
      int id = -1;
      {
        std::lock_guard lock(ui::WindowMutex());
        ui::WindowState* w = ui::FindWindowState(msg.hwnd);
        if (w && w->kind == ui::WindowKind::kButton && w->enabled) id = w->id;
      }
      if (id != -1)
        ::SendMessage(m_hWnd, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED),
                      reinterpret_cast<LPARAM>(msg.hwnd));
      return true;
    }
    default:
      return false;
  }
}

INT_PTR CDialog::DoModal() {
  const ui::DialogTemplate* t = m_pTemplate ? m_pTemplate : ui::FindDialogTemplate(m_nIDTemplate);
  if (!t) return -1;
  m_bEnded = false;
  m_nModalResult = -1;
  HWND hwnd = CreateFromTemplate(*t);
  OnWindowCreated();
  if (AfxGetApp() && AfxGetApp()->m_pMainWnd == this) ui::SetMainWindow(hwnd);

  if (::SendMessage(hwnd, WM_INITDIALOG, 0, 0)) {
    // Focus goes to the first visible, enabled tab stop.
    std::vector<HWND> children;
    {
      std::lock_guard lock(ui::WindowMutex());
      if (ui::WindowState* w = ui::FindWindowState(hwnd)) children = w->children;
    }
    for (HWND child : children) {
      bool candidate;
      {
        std::lock_guard lock(ui::WindowMutex());
        ui::WindowState* c = ui::FindWindowState(child);
        candidate = c && c->visible && c->enabled && (c->style & WS_TABSTOP);
      }
      if (candidate) {
        ::SetFocus(child);
        break;
      }
    }
  }
  if (!m_bEnded) ::ShowWindow(hwnd, SW_SHOW);

  MSG msg;
  while (!m_bEnded) {
    if (!::GetMessage(&msg, nullptr, 0, 0)) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (!IsDialogMessage(msg)) ::DispatchMessage(&msg);
  }
  ::ShowWindow(hwnd, SW_HIDE);
  ::DestroyWindow(hwnd);
  if (AfxGetApp() && AfxGetApp()->m_pMainWnd == this) ui::SetMainWindow(nullptr);
  m_hWnd = nullptr;
  return m_nModalResult;
}
