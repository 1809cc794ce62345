// The desktop display on wxWidgets. wx runs on a display thread of its own and shows the window
// model; user input goes back to the model as messages posted to the owning threads' queues.
#pragma once

#include <memory>

#include "platform/ui/display.h"

std::unique_ptr<ui::Display> CreateWxDisplay();
