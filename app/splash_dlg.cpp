#include "app/splash_dlg.h"

#include "monitor/init_done.h"
#include "res/resource.h"

BEGIN_MESSAGE_MAP(CSplashDlg, CDialog)
ON_WM_TIMER()
ON_WM_CLOSE()
END_MESSAGE_MAP()

CSplashDlg::CSplashDlg(CWnd* pParent) : CDialog(IDD_SPLASH, pParent) {}

BOOL CSplashDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  SetTimer(IDT_SPLASH, 1000, nullptr);
  BeginWaitCursor();
  return TRUE;
}

void CSplashDlg::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent == IDT_SPLASH && g_bInitDone.load(std::memory_order_relaxed) != 0) {
    KillTimer(IDT_SPLASH);
    EndWaitCursor();
    OnCancel();
  }
  Default();
}

void CSplashDlg::OnClose() {
  if (g_bInitDone.load(std::memory_order_relaxed) != 0) Default();
}

void CSplashDlg::OnCancel() { CDialog::OnCancel(); }

UINT SplashThreadProc(void* param) {
  auto* splash = static_cast<CSplashDlg*>(param);
  splash->DoModal();
  delete splash;
  return 0;
}
