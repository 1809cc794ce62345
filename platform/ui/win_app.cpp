#include "platform/ui/win_app.h"

#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "platform/ui/detail/window_registry.h"
#include "platform/ui/display.h"
#include "platform/ui/headless/headless_display.h"
#include "platform/ui/instance_lookup.h"
#include "platform/ui/message_queue.h"
#include "platform/ui/snapshot.h"
#include "platform/ui/window.h"

namespace {

// Read by the splash thread, which may outlive main: cleared when the object goes.
std::atomic<CWinApp*> g_app{nullptr};
std::atomic<HWND> g_mainWindow{nullptr};
std::atomic<bool> g_closeRequested{false};
// The display once the run is over, kept until the process ends (see AfxWinMain); held here so
// that a leak checker does not take it for lost memory.
std::atomic<ui::Display*> g_retiredDisplay{nullptr};

sigset_t CloseSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  return signals;
}

bool WantsHeadless() {
  const char* headless = std::getenv("UI_HEADLESS");
  if (headless && std::string(headless) == "1") return true;
  const char* x = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return !(x && *x) && !(wayland && *wayland);
}

// SIGINT and SIGTERM become a close request to the main window, as the close box would send;
// one that comes before the window exists is delivered when it does.
void WatchCloseSignals(sigset_t signals) {
  std::thread([signals] {
    for (;;) {
      int sig = 0;
      if (sigwait(&signals, &sig) != 0) continue;
      g_closeRequested = true;
      if (HWND main = g_mainWindow.load()) PostMessage(main, WM_CLOSE, 0, 0);
      // A message box waiting for its answer would hold the close up: close it too.
      for (HWND hwnd : ui::TopLevelWindows()) {
        bool box;
        {
          std::lock_guard lock(ui::WindowMutex());
          const ui::WindowState* w = ui::FindWindowState(hwnd);
          box = w && w->is_message_box;
        }
        if (box) PostMessage(hwnd, WM_CLOSE, 0, 0);
      }
    }
  }).detach();
}

}  // namespace

BEGIN_MESSAGE_MAP(CWinApp, CWinThread)
END_MESSAGE_MAP()

CWinApp::CWinApp(const char* appName) {
  g_app = this;
  if (appName) {
    m_appName = appName;
    m_pszAppName = m_appName.c_str();
  }
}

CWinApp::~CWinApp() {
  CWinApp* self = this;
  g_app.compare_exchange_strong(self, nullptr);
}

HICON CWinApp::LoadIcon(UINT id) const {
  return reinterpret_cast<HICON>(const_cast<ui::ImageResource*>(ui::FindIcon(std::to_string(id))));
}

void CWinApp::DoWaitCursor(int delta) {
  m_waitCursorCount += delta;
  if (m_waitCursorCount < 0) m_waitCursorCount = 0;
  if (ui::Display* display = ui::ActiveDisplay()) display->SetWaitCursor(m_waitCursorCount > 0);
}

CWinApp* AfxGetApp() { return g_app; }

const char* AfxGetAppName() {
  CWinApp* app = g_app;
  return app && app->m_pszAppName ? app->m_pszAppName : "";
}

void SetAppNameFromPath(const char* path) {
  CWinApp* app = g_app;
  if (!app || app->m_pszAppName || !path) return;
  std::string name = path;
  if (auto slash = name.rfind('/'); slash != std::string::npos) name.erase(0, slash + 1);
  if (auto dot = name.rfind('.'); dot != std::string::npos && dot > 0) name.erase(dot);
  app->m_appName = name;
  app->m_pszAppName = app->m_appName.c_str();
}

CWinThread* AfxBeginThread(AFX_THREADPROC proc, void* param, int /*priority*/, UINT /*stackSize*/,
                           DWORD /*createFlags*/, void* /*security*/) {
  auto* thread = new CWinThread;
  try {
    std::thread([proc, param, thread] {
      proc(param);
      delete thread;
    }).detach();
  } catch (const std::system_error&) {
    delete thread;
    return nullptr;
  }
  return thread;
}

namespace ui {

void BlockCloseSignals() {
  sigset_t signals = CloseSignals();
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
}

void SetMainWindow(HWND hwnd) {
  g_mainWindow = hwnd;
  if (hwnd && g_closeRequested) PostMessage(hwnd, WM_CLOSE, 0, 0);
}

HWND MainWindow() { return g_mainWindow; }

}  // namespace ui

int AfxWinMain(int argc, char** argv, const ui::ResourceTable& resources,
               ui::DisplayFactory desktopDisplay) {
  ui::SetResources(&resources);
  SetAppNameFromPath(argc > 0 ? argv[0] : nullptr);

  ui::BlockCloseSignals();
  WatchCloseSignals(CloseSignals());

  std::unique_ptr<ui::Display> display;
  if (!WantsHeadless() && desktopDisplay) {
    display = desktopDisplay();
    if (display && !display->Start()) {
      std::fprintf(stderr, "%s: cannot open the display; running without a window\n",
                   AfxGetAppName());
      display.reset();
    }
  }
  if (!display) {
    display = std::make_unique<ui::HeadlessDisplay>();
    display->Start();
  }
  ui::SetActiveDisplay(display.get());
  ui::AddWindowObserver(display.get());
  ui::StartSnapshotFromEnvironment();
  ui::StartInstanceListener();

  int status = 0;
  if (AfxGetApp()) {
    if (AfxGetApp()->InitInstance()) {
      MSG msg;
      while (GetMessage(&msg, nullptr, 0, 0)) DispatchMessage(&msg);
      status = static_cast<int>(msg.wParam);
    }
    int exitCode = AfxGetApp()->ExitInstance();
    if (exitCode) status = exitCode;
  }
  ui::StopInstanceListener();
  // A splash thread may still be running: the display stops showing but stays allocated until
  // the process ends, so a late call from that thread finds a live object.
  ui::RemoveWindowObserver(display.get());
  ui::SetActiveDisplay(nullptr);
  display->Stop();
  g_retiredDisplay.store(display.release(), std::memory_order_relaxed);
  return status;
}
