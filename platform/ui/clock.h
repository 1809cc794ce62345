// The window layer's time. Real (monotonic) by default; tests switch to a virtual clock on
// which time moves only when every thread that owns a message queue is idle: it then jumps to
// the earliest due timer or scheduled action, so an 8-second period is tested in microseconds.
#pragma once

#include <cstdint>
#include <functional>

namespace ui {

std::uint64_t NowMs();

// Switches to virtual time starting at 0 ms. Call before any queue exists; UseRealClock undoes
// it (tests call it in teardown, after their threads are gone).
void UseVirtualClock();
void UseRealClock();
bool IsVirtualClock();

// Virtual time only: runs fn on the thread that advances time to `at_ms` (never while a
// handler runs). Actions scheduled for the same time run in the order they were scheduled.
void RunAt(std::uint64_t at_ms, std::function<void()> fn);

// Virtual time only: moves the clock forward by `ms` at once, runs the actions that fall due
// and wakes every queue. Timers missed in between fold into one WM_TIMER each.
void AdvanceVirtualTime(std::uint64_t ms);

// Virtual time only: hooks run before each advance, once every queue is idle, so that work
// finishing on other threads (a simulated network delivering datagrams) lands first.
void AddIdleHook(std::function<void()> hook);

}  // namespace ui
