// Polling for a condition with a deadline, for tests that watch another process or the X server.
#pragma once

#include <chrono>
#include <thread>

namespace gui_test {

template <typename Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds timeout,
               std::chrono::milliseconds step = std::chrono::milliseconds(5)) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(step);
  }
}

}  // namespace gui_test
