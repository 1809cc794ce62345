// The application object, threads, and the process's entry into the window layer.
#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "platform/ui/cwnd.h"
#include "platform/ui/resources.h"

class CWinThread : public CCmdTarget {
 public:
  // Atomic: every dialog, on whatever thread it runs, asks whether it is the main window.
  std::atomic<CWnd*> m_pMainWnd{nullptr};
};

class CWinApp : public CWinThread {
 public:
  // There is one application object; a null name means the executable's file name without
  // its extension.
  explicit CWinApp(const char* appName = nullptr);
  ~CWinApp() override;

  virtual BOOL InitInstance() { return FALSE; }
  virtual int ExitInstance() { return 0; }

  // Framework set-up kept for the application's start-up sequence; they hold nothing here.
  BOOL Enable3dControls() { return TRUE; }
  void LoadStdProfileSettings(UINT /*maxMru*/ = 4) {}
  void OnHelp() {}

  HICON LoadIcon(UINT id) const;
  void DoWaitCursor(int delta);
  const char* m_pszAppName = nullptr;

  DECLARE_MESSAGE_MAP()

 private:
  std::string m_appName;
  int m_waitCursorCount = 0;
  friend void SetAppNameFromPath(const char* path);
};

CWinApp* AfxGetApp();
const char* AfxGetAppName();

using AFX_THREADPROC = UINT (*)(void* param);
// Starts a thread running proc(param) at once. The returned object belongs to the framework
// and is deleted when the thread ends; callers must not keep it.
CWinThread* AfxBeginThread(AFX_THREADPROC proc, void* param, int priority = 0, UINT stackSize = 0,
                           DWORD createFlags = 0, void* security = nullptr);
constexpr int THREAD_PRIORITY_NORMAL = 0;

namespace ui {
class Display;
using DisplayFactory = std::unique_ptr<Display> (*)();
}  // namespace ui

// Runs the application: registers the resources, picks the display (the desktop one when a
// display is there and UI_HEADLESS is not 1, else headless), calls InitInstance and, if it
// returns TRUE, a message loop; returns the exit status.
int AfxWinMain(int argc, char** argv, const ui::ResourceTable& resources,
               ui::DisplayFactory desktopDisplay);
void SetAppNameFromPath(const char* path);

namespace ui {
// Blocks SIGINT and SIGTERM in the calling thread and the threads it starts later, so that
// AfxWinMain can turn them into close requests. Call first thing in main, before any thread
// (a NetBIOS service's, say) is started.
void BlockCloseSignals();
// The window a close request from the system (SIGINT, SIGTERM) goes to.
void SetMainWindow(HWND hwnd);
HWND MainWindow();
}  // namespace ui
