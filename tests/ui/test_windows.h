// Small fixtures for the window layer's tests: a window of the calling thread whose messages
// are recorded, a test resource table, and a virtual-clock scope.
#pragma once

#include <vector>

#include "platform/ui/clock.h"
#include "platform/ui/cwnd.h"
#include "platform/ui/resources.h"

// Records every message it receives, then hands it to the default processing.
class RecordingWnd : public CWnd {
 public:
  RecordingWnd();
  ~RecordingWnd() override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  std::vector<MSG> received;
};

// Templates: 200 is a dialog with a button (id 10, text "GO"), a list (id 11) and a static;
// bitmaps "GOU", "GOD" (40 x 20) exist, "GOF" and "GOX" do not; string 7 is "Seven".
const ui::ResourceTable& TestResources();
constexpr UINT kTestDialog = 200;
constexpr int kTestButton = 10;
constexpr int kTestList = 11;

// Virtual time for the life of the object.
class VirtualClockScope {
 public:
  VirtualClockScope() { ui::UseVirtualClock(); }
  ~VirtualClockScope() { ui::UseRealClock(); }
};

// Takes every message now waiting in the calling thread's queue, without waiting.
std::vector<MSG> DrainQueue();
