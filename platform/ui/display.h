// What a display (wx, headless) and other observers of the window model see. The model calls
// observers on the thread that made the change, without holding its lock; an observer reads
// the model under WindowMutex (detail/window_registry.h) when it needs the state.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/ui/win_types.h"

namespace ui {

enum class Change {
  kCreated,
  kDestroyed,
  kText,        // title or control text
  kVisibility,  // shown, hidden, minimised or restored
  kColumns,
  kCells,  // list rows or cells
  kFocus,
  kForeground,  // SetForegroundWindow
  kCentered,    // CenterWindow
  kIcon,
  kBitmaps,  // a bitmap button was loaded or resized
};

class WindowObserver {
 public:
  virtual ~WindowObserver() = default;
  virtual void OnWindowChange(HWND hwnd, Change change) = 0;
};

void AddWindowObserver(WindowObserver* observer);
void RemoveWindowObserver(WindowObserver* observer);
void NotifyWindowChange(HWND hwnd, Change change);

// A top-level window of any program, as a display that can enumerate them reports it.
struct ForeignWindow {
  std::uint64_t id;
  std::string title;
};

class Display : public WindowObserver {
 public:
  // Opens the display; false when it cannot (the caller then falls back to headless).
  virtual bool Start() = 0;
  virtual void Stop() = 0;
  virtual void SetWaitCursor(bool /*busy*/) {}
  // Top-level windows of every program, topmost first, hidden ones too. A display that cannot
  // enumerate them returns false and the layer looks for running copies another way.
  virtual bool ListTopLevelWindows(std::vector<ForeignWindow>* /*out*/) { return false; }
  // Brings a listed window to the front, restoring it when minimised.
  virtual void ActivateTopLevelWindow(std::uint64_t /*id*/) {}
};

// The display of the process (set by the application's start-up; null in most tests).
void SetActiveDisplay(Display* display);
Display* ActiveDisplay();

// Hooks run on a thread just before its queue blocks for want of work (the snapshot writer
// uses this to write once per burst of changes).
void AddBeforeWaitHook(void (*hook)());
void RunBeforeWaitHooks();

}  // namespace ui
