// A wx top-level window that shows one top-level window of the model.
#pragma once

#include <wx/toplevel.h>

#include "platform/ui/wx/model_snapshot.h"

namespace ui::wx {

class MirroredWindow {
 public:
  virtual ~MirroredWindow() = default;
  virtual wxTopLevelWindow* TopLevel() = 0;
  virtual bool IsMessageBox() const = 0;
  // Brings the wx window in line with the model; `changes` holds the ChangeBits seen since the
  // last call (all of them on the first).
  virtual void Sync(const WindowSnapshot& snapshot, unsigned changes) = 0;
};

}  // namespace ui::wx
