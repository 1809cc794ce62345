#include "platform/ui/wx/wx_display.h"

#include <wx/app.h>
#include <wx/log.h>

#include <atomic>
#include <cstdio>
#include <future>
#include <mutex>
#include <string>
#include <thread>

#include "platform/ui/win_app.h"
#include "platform/ui/wx/gtk_glue.h"
#include "platform/ui/wx/pending_changes.h"
#include "platform/ui/wx/window_mirror.h"
#include "platform/ui/wx/x11_windows.h"

namespace ui::wx {
namespace {

class DisplayApp : public wxApp {
 public:
  bool OnInit() override {
    // The windows come and go with the model; the loop ends only when the display stops.
    SetExitOnFrameDelete(false);
    // Nothing of wx's own may pop up in front of the user: its messages and failed checks go
    // to standard error.
    delete wxLog::SetActiveTarget(new wxLogStderr);
    wxSetAssertHandler(&ReportAssertion);
    return true;
  }

 private:
  static void ReportAssertion(const wxString& file, int line, const wxString& function,
                              const wxString& condition, const wxString& message) {
    std::fprintf(stderr, "%s: wx check failed at %s:%d in %s: %s %s\n", AfxGetAppName(),
                 file.utf8_str().data(), line, function.utf8_str().data(),
                 condition.utf8_str().data(), message.utf8_str().data());
  }
};

class WxDisplay final : public Display {
 public:
  ~WxDisplay() override { Stop(); }

  bool Start() override {
    std::promise<bool> started;
    std::future<bool> result = started.get_future();
    // The promise lives with the thread, which may still be inside set_value when Start returns.
    thread_ = std::thread([this, started = std::move(started)]() mutable { Run(started); });
    if (result.get()) return true;
    thread_.join();
    return false;
  }

  void Stop() override {
    {
      std::lock_guard lock(running_mutex_);
      if (!running_) return;
      running_ = false;
      wxTheApp->CallAfter([] { wxTheApp->ExitMainLoop(); });
    }
    thread_.join();
  }

  void OnWindowChange(HWND hwnd, Change change) override {
    if (pending_.Add(hwnd, change)) Wake();
  }

  void SetWaitCursor(bool busy) override {
    if (pending_.SetWaitCursor(busy)) Wake();
  }

  bool ListTopLevelWindows(std::vector<ForeignWindow>* out) override {
    return uses_x11_ && ListX11TopLevelWindows(out);
  }

  void ActivateTopLevelWindow(std::uint64_t id) override {
    if (uses_x11_) ActivateX11Window(id);
  }

 private:
  // The display thread: starts wx, reports whether it could, then runs wx's loop.
  void Run(std::promise<bool>& started) {
    PrepareGtk();
    wxApp::SetInstance(new DisplayApp);
    std::string name = *AfxGetAppName() ? AfxGetAppName() : "ui";
    char* argv[] = {name.data(), nullptr};
    int argc = 1;
    if (!wxEntryStart(argc, argv)) {
      started.set_value(false);
      return;
    }
    if (!wxTheApp->CallOnInit()) {
      wxEntryCleanup();
      started.set_value(false);
      return;
    }
    uses_x11_ = GtkUsesX11();
    mirror_ = std::make_unique<WindowMirror>();
    {
      std::lock_guard lock(running_mutex_);
      running_ = true;
    }
    started.set_value(true);
    wxTheApp->OnRun();
    mirror_.reset();
    wxTheApp->OnExit();
    wxEntryCleanup();
  }

  // Has the display thread apply what changed, once per batch.
  void Wake() {
    std::lock_guard lock(running_mutex_);
    if (running_) wxTheApp->CallAfter([this] { mirror_->Apply(pending_.Take()); });
  }

  std::thread thread_;
  std::mutex running_mutex_;
  bool running_ = false;
  std::atomic<bool> uses_x11_{false};
  PendingChanges pending_;
  std::unique_ptr<WindowMirror> mirror_;  // display thread only
};

}  // namespace
}  // namespace ui::wx

std::unique_ptr<ui::Display> CreateWxDisplay() { return std::make_unique<ui::wx::WxDisplay>(); }
