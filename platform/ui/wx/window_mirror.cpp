#include "platform/ui/wx/window_mirror.h"

#include <wx/utils.h>

#include "platform/ui/win_app.h"
#include "platform/ui/wx/dialog_frame.h"
#include "platform/ui/wx/message_box_dialog.h"

namespace ui::wx {
namespace {

// A new wx window takes on all of the model window's state, but it is centred or brought to
// the front only when the model asked for that.
constexpr unsigned kStateOnCreation =
    ~(ChangeBit(Change::kCentered) | ChangeBit(Change::kForeground));

}  // namespace

WindowMirror::~WindowMirror() {
  while (!windows_.empty()) Destroy(windows_.begin()->first);
  SetWaitCursor(false);
}

void WindowMirror::Apply(const ChangeBatch& batch) {
  std::map<HWND, unsigned> changed;
  for (const auto& [hwnd, changes] : batch.windows) {
    HWND top = TopLevelOf(hwnd);
    if (!top) {
      auto owner = control_owner_.find(hwnd);
      top = owner != control_owner_.end() ? owner->second : hwnd;
    }
    changed[top] |= changes;
  }
  for (auto [top, changes] : changed) {
    std::optional<WindowSnapshot> snapshot = TakeSnapshot(top);
    auto it = windows_.find(top);
    if (it != windows_.end() &&
        (!snapshot || it->second->IsMessageBox() != snapshot->state.is_message_box)) {
      Destroy(top);
      it = windows_.end();
    }
    if (!snapshot) continue;
    if (it == windows_.end()) {
      it = windows_.emplace(top, Create(*snapshot)).first;
      changes |= kStateOnCreation;
    }
    for (const WindowSnapshot& child : snapshot->children) control_owner_[child.state.hwnd] = top;
    it->second->Sync(*snapshot, changes);
  }
  if (batch.wait_cursor) SetWaitCursor(*batch.wait_cursor);
}

MirroredWindow* WindowMirror::Create(const WindowSnapshot& snapshot) {
  if (!snapshot.state.is_message_box) return new DialogFrame(snapshot);
  auto owner = windows_.find(MainWindow());
  return new MessageBoxDialog(snapshot,
                              owner != windows_.end() ? owner->second->TopLevel() : nullptr);
}

void WindowMirror::Destroy(HWND top_level) {
  auto it = windows_.find(top_level);
  if (it == windows_.end()) return;
  it->second->TopLevel()->Destroy();
  windows_.erase(it);
  std::erase_if(control_owner_, [&](const auto& entry) { return entry.second == top_level; });
}

void WindowMirror::SetWaitCursor(bool busy) {
  if (busy == busy_) return;
  busy_ = busy;
  if (busy)
    wxBeginBusyCursor();
  else
    wxEndBusyCursor();
}

}  // namespace ui::wx
