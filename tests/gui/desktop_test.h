// A fixture for tests on a desktop of their own: an X server with a window manager, started
// for each test and stopped after it; the test skips when these cannot be had.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/gui/x_session.h"

namespace gui_test {

class DesktopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    x_ = XSession::Start(true, &why);
    if (!x_) GTEST_SKIP() << why;
  }

  std::unique_ptr<XSession> x_;
};

}  // namespace gui_test
