// Per-thread message queues and window timers.
//
// Each thread that owns windows has one queue. PostMessage may be called from any thread;
// PeekMessage and GetMessage serve the calling thread's queue. Posted messages come first, in
// order; then WM_TIMER for a timer that is due. A timer has at most one WM_TIMER pending: ticks
// missed while the thread was busy are folded into one, and the next tick keeps the timer's grid.
// SetTimer on a running timer restarts its period from now. On the real clock a tick may come
// up to 15 ms after its grid time, as a system timer's ticks do; on the virtual clock exactly.
#pragma once

#include <memory>

#include "platform/ui/win_types.h"

BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT remove);
// Blocks until a message is there. Returns FALSE for WM_QUIT, TRUE otherwise.
BOOL GetMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax);
void PostQuitMessage(int exitCode);

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, void* timerProc);
BOOL KillTimer(HWND hwnd, UINT_PTR id);

constexpr UINT WM_QUIT = 0x0012;

namespace ui {

struct ThreadQueue;

// The calling thread's queue, created on first use. Windows keep their owner's queue alive.
std::shared_ptr<ThreadQueue> CurrentQueue();
bool IsCurrentQueue(const ThreadQueue& queue);
void PostToQueue(ThreadQueue& queue, const MSG& msg);
// Drops every timer of a window that is being destroyed.
void KillWindowTimers(ThreadQueue& queue, HWND hwnd);

}  // namespace ui
