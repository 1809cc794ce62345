// Windows: messages sent to them, their text, visibility and place among top-level windows.
#pragma once

#include "platform/ui/win_types.h"

// Same-thread delivery: runs the window's handler at once and returns its result. A handle that
// names no window (never was, or destroyed) gets nothing and 0. Sending to a window of another
// thread is not supported and returns 0: the system only sends within a thread.
LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT DefWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Delivers a message taken from the queue (SendMessage to its window).
LRESULT DispatchMessage(const MSG* msg);

BOOL IsWindow(HWND hwnd);
BOOL DestroyWindow(HWND hwnd);
BOOL ShowWindow(HWND hwnd, int cmd);
BOOL IsWindowVisible(HWND hwnd);
BOOL IsIconic(HWND hwnd);
BOOL SetWindowText(HWND hwnd, const char* text);
// Copies at most maxCount - 1 bytes of the title and a terminating zero; returns the length.
int GetWindowText(HWND hwnd, char* buffer, int maxCount);
BOOL SetForegroundWindow(HWND hwnd);
HWND GetDlgItem(HWND dialog, int id);
HWND GetParent(HWND hwnd);
HWND SetFocus(HWND hwnd);
BOOL GetClientRect(HWND hwnd, RECT* rect);
int GetSystemMetrics(int index);

// The top-level windows of every program, topmost first, for finding a running copy.
HWND GetDesktopWindow();
HWND GetTopWindow(HWND parent);
HWND GetWindow(HWND hwnd, UINT cmd);
