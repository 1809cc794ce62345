// The display used without a screen: nothing is drawn; a message box is answered OK at once
// and its text goes to standard error.
#pragma once

#include "platform/ui/display.h"

namespace ui {

class HeadlessDisplay final : public Display {
 public:
  bool Start() override { return true; }
  void Stop() override {}
  void OnWindowChange(HWND hwnd, Change change) override;
};

}  // namespace ui
