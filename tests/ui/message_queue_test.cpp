// Queue and timer semantics the monitor relies on: order, one pending WM_TIMER per timer,
// restarts counting afresh, cross-thread posts waking a blocked GetMessage, dropped messages.
#include "platform/ui/message_queue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/ui/clock.h"
#include "platform/ui/window.h"
#include "tests/ui/test_windows.h"

namespace {

std::vector<UINT> Kinds(const std::vector<MSG>& messages) {
  std::vector<UINT> kinds;
  for (const MSG& m : messages) kinds.push_back(m.message);
  return kinds;
}

class QueueTest : public ::testing::Test {
 protected:
  VirtualClockScope clock_;
  RecordingWnd wnd_;
  void TearDown() override { DrainQueue(); }
};

TEST_F(QueueTest, PostedMessagesComeInOrderAndBeforeADueTimer) {
  SetTimer(wnd_.m_hWnd, 1, 10, nullptr);
  ui::AdvanceVirtualTime(10);
  PostMessage(wnd_.m_hWnd, WM_USER + 1, 0, 0);
  PostMessage(wnd_.m_hWnd, WM_USER + 2, 0, 0);
  EXPECT_EQ(Kinds(DrainQueue()), (std::vector<UINT>{WM_USER + 1, WM_USER + 2, WM_TIMER}));
  KillTimer(wnd_.m_hWnd, 1);
}

TEST_F(QueueTest, MissedTicksFoldIntoOneAndTheTimerKeepsItsGrid) {
  SetTimer(wnd_.m_hWnd, 7, 50, nullptr);
  ui::AdvanceVirtualTime(170);  // three periods passed
  auto first = DrainQueue();
  ASSERT_EQ(first.size(), 1u);
  EXPECT_EQ(first[0].message, WM_TIMER);
  EXPECT_EQ(first[0].wParam, 7u);
  ui::AdvanceVirtualTime(29);  // 199: the next tick is due at 200, not 220
  EXPECT_TRUE(DrainQueue().empty());
  ui::AdvanceVirtualTime(1);
  EXPECT_EQ(DrainQueue().size(), 1u);
  KillTimer(wnd_.m_hWnd, 7);
}

TEST_F(QueueTest, SetTimerOnARunningTimerCountsItsPeriodAfresh) {
  SetTimer(wnd_.m_hWnd, 1, 100, nullptr);
  ui::AdvanceVirtualTime(80);
  SetTimer(wnd_.m_hWnd, 1, 100, nullptr);  // now due at 180
  ui::AdvanceVirtualTime(20);
  EXPECT_TRUE(DrainQueue().empty());
  ui::AdvanceVirtualTime(80);
  EXPECT_EQ(Kinds(DrainQueue()), std::vector<UINT>{WM_TIMER});
  KillTimer(wnd_.m_hWnd, 1);
}

TEST_F(QueueTest, GetMessageMovesVirtualTimeToTheNextTimer) {
  SetTimer(wnd_.m_hWnd, 1, 1000, nullptr);
  SetTimer(wnd_.m_hWnd, 2, 50, nullptr);
  MSG msg;
  ASSERT_TRUE(GetMessage(&msg, nullptr, 0, 0));
  EXPECT_EQ(msg.wParam, 2u);
  EXPECT_EQ(ui::NowMs(), 50u);
  KillTimer(wnd_.m_hWnd, 1);
  KillTimer(wnd_.m_hWnd, 2);
}

TEST_F(QueueTest, ScheduledActionsRunWhenTimeReachesThem) {
  std::vector<int> order;
  ui::RunAt(300, [&] { order.push_back(300); });
  ui::RunAt(100, [&] {
    order.push_back(100);
    PostMessage(wnd_.m_hWnd, WM_USER, 0, 0);
  });
  MSG msg;
  ASSERT_TRUE(GetMessage(&msg, nullptr, 0, 0));
  EXPECT_EQ(msg.message, WM_USER);
  EXPECT_EQ(ui::NowMs(), 100u);
  EXPECT_EQ(order, std::vector<int>{100});
}

TEST_F(QueueTest, KillTimerOfAnUnknownTimerOrWindowIsHarmless) {
  EXPECT_FALSE(KillTimer(wnd_.m_hWnd, 999));
  EXPECT_FALSE(KillTimer(nullptr, 1));
  EXPECT_FALSE(KillTimer(reinterpret_cast<HWND>(0x1234), 1));
  EXPECT_EQ(SetTimer(reinterpret_cast<HWND>(0x1234), 1, 10, nullptr), 0u);
}

TEST_F(QueueTest, MessagesForADestroyedWindowAreDropped) {
  RecordingWnd doomed;
  PostMessage(doomed.m_hWnd, WM_USER, 0, 0);
  SetTimer(doomed.m_hWnd, 1, 10, nullptr);
  HWND handle = doomed.m_hWnd;
  DestroyWindow(handle);
  EXPECT_FALSE(PostMessage(handle, WM_USER, 0, 0));
  ui::AdvanceVirtualTime(20);
  for (const MSG& m : DrainQueue()) {
    EXPECT_NE(m.message, WM_TIMER) << "a destroyed window's timer still fired";
    DispatchMessage(&m);
  }
  EXPECT_TRUE(doomed.received.empty());
}

TEST(QueueThreads, APostFromAnotherThreadWakesABlockedGetMessage) {
  RecordingWnd wnd;
  std::thread poster([h = wnd.m_hWnd] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    PostMessage(h, WM_USER + 5, 1, 2);
  });
  MSG msg;
  ASSERT_TRUE(GetMessage(&msg, nullptr, 0, 0));
  poster.join();
  EXPECT_EQ(msg.message, WM_USER + 5);
  EXPECT_EQ(msg.hwnd, wnd.m_hWnd);
}

TEST(QueueThreads, SendMessageToAnotherThreadsWindowDoesNotRunItsHandler) {
  std::atomic<HWND> other{nullptr};
  std::atomic<bool> done{false};
  std::thread owner([&] {
    RecordingWnd wnd;
    other = wnd.m_hWnd;
    while (!done) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_TRUE(wnd.received.empty());
  });
  while (!other) std::this_thread::yield();
  EXPECT_EQ(SendMessage(other, WM_USER, 0, 0), 0);
  done = true;
  owner.join();
}

TEST(QueueThreads, VirtualTimeWaitsForEveryQueueToBeIdle) {
  VirtualClockScope clock;
  std::atomic<bool> busy_done{false};
  std::atomic<std::uint64_t> timer_seen_at{0};
  std::atomic<bool> timer_saw_busy_done{false};
  std::thread busy;
  {
    RecordingWnd wnd;
    SetTimer(wnd.m_hWnd, 1, 10, nullptr);
    std::atomic<bool> started{false};
    busy = std::thread([&] {
      RecordingWnd other;  // owns a queue: time waits for this thread
      started = true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      busy_done = true;
    });
    while (!started) std::this_thread::yield();
    MSG msg;
    ASSERT_TRUE(GetMessage(&msg, nullptr, 0, 0));
    timer_seen_at = ui::NowMs();
    timer_saw_busy_done = busy_done.load();
    KillTimer(wnd.m_hWnd, 1);
  }
  busy.join();
  EXPECT_TRUE(timer_saw_busy_done);
  EXPECT_EQ(timer_seen_at, 10u);
}

}  // namespace
