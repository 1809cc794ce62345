// The wx windows that show the model's top-level windows, kept in line with it on the display
// thread: a wx window is made (unmapped, but with its X window and title) as soon as the model
// window exists, follows every change, and goes when the model window is destroyed.
#pragma once

#include <map>

#include "platform/ui/wx/mirrored_window.h"
#include "platform/ui/wx/pending_changes.h"

namespace ui::wx {

class WindowMirror {
 public:
  WindowMirror() = default;
  WindowMirror(const WindowMirror&) = delete;
  WindowMirror& operator=(const WindowMirror&) = delete;
  ~WindowMirror();

  void Apply(const ChangeBatch& batch);

 private:
  MirroredWindow* Create(const WindowSnapshot& snapshot);
  void Destroy(HWND top_level);
  void SetWaitCursor(bool busy);

  std::map<HWND, MirroredWindow*> windows_;
  // Which top-level window each known control belongs to, for controls the model has already
  // destroyed.
  std::map<HWND, HWND> control_owner_;
  bool busy_ = false;
};

}  // namespace ui::wx
