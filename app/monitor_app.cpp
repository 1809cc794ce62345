#include "app/monitor_app.h"

#include <cstring>
#include <new>

#include "app/splash_dlg.h"
#include "monitor/init_done.h"
#include "monitor/monitor_dlg.h"
#include "res/resource.h"

BEGIN_MESSAGE_MAP(CMonitorApp, CWinApp)
ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

CMonitorApp::CMonitorApp() : CWinApp(nullptr) {}

BOOL CMonitorApp::InitInstance() {
  Enable3dControls();
  LoadStdProfileSettings(4);
  if (ActivatePreviousInstance()) return FALSE;

  g_bInitDone.store(0, std::memory_order_relaxed);
  // Without memory for the splash the monitor runs without one.
  if (auto* splash = new (std::nothrow) CSplashDlg(nullptr)) {
    if (!AfxBeginThread(SplashThreadProc, splash, THREAD_PRIORITY_NORMAL, 0, 0, nullptr))
      delete splash;  // no thread will run it
  }

  CMonitorDlg dlg(nullptr);
  m_pMainWnd = &dlg;
  dlg.DoModal();
  m_pMainWnd = nullptr;
  return FALSE;
}

BOOL CMonitorApp::ActivatePreviousInstance() {
  CString title;
  title.LoadString(IDS_TITLE);
  HWND w = GetTopWindow(GetDesktopWindow());
  while (w) {
    char buffer[255];
    std::memset(buffer, 0, sizeof buffer);
    GetWindowText(w, buffer, 255);
    if (std::strcmp(buffer, title) == 0) break;
    w = GetWindow(w, GW_HWNDNEXT);
  }
  if (!w) return 0;
  SetForegroundWindow(w);
  ShowWindow(w, SW_SHOWNORMAL);
  return 1;
}
