#include "platform/ui/snapshot.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/ui/detail/window_registry.h"
#include "platform/ui/display.h"

namespace ui {
namespace {

class SnapshotWriter final : public WindowObserver {
 public:
  void OnWindowChange(HWND, Change change) override {
    if (change != Change::kFocus && change != Change::kForeground && change != Change::kCentered)
      dirty_ = true;
  }

  void Start(const std::string& path) {
    std::lock_guard lock(mutex_);
    path_ = path;
    reported_error_ = false;
    dirty_ = true;
  }

  void Stop() {
    std::lock_guard lock(mutex_);
    path_.clear();
  }

  void WriteIfChanged() {
    if (!dirty_.exchange(false)) return;
    std::lock_guard lock(mutex_);
    if (path_.empty()) return;
    std::string text = RenderSnapshot();
    std::string tmp = path_ + ".tmp" + std::to_string(getpid());
    FILE* f = std::fopen(tmp.c_str(), "wb");
    bool ok = f && std::fwrite(text.data(), 1, text.size(), f) == text.size();
    if (f && std::fclose(f) != 0) ok = false;
    if (ok && std::rename(tmp.c_str(), path_.c_str()) != 0) ok = false;
    if (!ok) {
      int error = errno;
      std::remove(tmp.c_str());
      if (!reported_error_)
        std::fprintf(stderr, "cannot write the snapshot file %s: %s\n", path_.c_str(),
                     std::strerror(error));
      reported_error_ = true;
    } else {
      reported_error_ = false;
    }
  }

 private:
  std::mutex mutex_;
  std::string path_;
  std::atomic<bool> dirty_{false};
  bool reported_error_ = false;
};

SnapshotWriter& Writer() {
  static auto* writer = new SnapshotWriter;
  return *writer;
}

void AppendFields(std::string* out, const char* head, const std::vector<std::string>& fields) {
  *out += head;
  for (const auto& field : fields) *out += "\t" + EscapeSnapshotText(field);
  *out += "\n";
}

}  // namespace

std::string EscapeSnapshotText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (unsigned char c : text) {
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c < 0x20 || c > 0x7E) {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string RenderSnapshot() {
  std::vector<HWND> windows = TopLevelWindows();
  std::sort(windows.begin(), windows.end());  // handles grow with creation
  std::string out;
  std::lock_guard lock(WindowMutex());
  bool first = true;
  for (HWND hwnd : windows) {
    const WindowState* w = FindWindowState(hwnd);
    if (!w) continue;
    if (!first) out += "\n";
    first = false;
    out +=
        "window\t" + EscapeSnapshotText(w->text) + "\t" + (w->visible ? "shown" : "hidden") + "\n";
    for (HWND child : w->children) {
      const WindowState* c = FindWindowState(child);
      if (!c || c->kind != WindowKind::kListView) continue;
      std::vector<std::string> headers;
      for (const auto& column : c->columns) headers.push_back(column.header);
      AppendFields(&out, "columns", headers);
      for (const auto& row : c->rows) AppendFields(&out, "row", row);
    }
  }
  return out;
}

void StartSnapshot(const std::string& path) {
  static std::once_flag registered;
  std::call_once(registered, [] {
    AddWindowObserver(&Writer());
    AddBeforeWaitHook([] { Writer().WriteIfChanged(); });
  });
  Writer().Start(path);
  Writer().WriteIfChanged();
}

void StopSnapshot() { Writer().Stop(); }

void StartSnapshotFromEnvironment() {
  const char* path = std::getenv("UI_SNAPSHOT");
  if (path && *path) StartSnapshot(path);
}

}  // namespace ui
