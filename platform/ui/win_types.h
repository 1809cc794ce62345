// Handles, messages and constants of the window layer.
#pragma once

#include "platform/base_types.h"

struct HWND__;
using HWND = HWND__*;
struct HICON__;
using HICON = HICON__*;
using HCURSOR = HICON;
struct HDC__;
using HDC = HDC__*;

struct POINT {
  LONG x;
  LONG y;
};

struct RECT {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
};

struct MSG {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD time;
  POINT pt;
};

constexpr WORD LOWORD(WPARAM v) { return static_cast<WORD>(v & 0xFFFF); }
constexpr WORD HIWORD(WPARAM v) { return static_cast<WORD>((v >> 16) & 0xFFFF); }
constexpr WPARAM MAKEWPARAM(WORD lo, WORD hi) {
  return static_cast<WPARAM>(lo) | (static_cast<WPARAM>(hi) << 16);
}

// Messages.
constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUERYDRAGICON = 0x0037;
constexpr UINT WM_ICONERASEBKGND = 0x0027;
constexpr UINT WM_SETICON = 0x0080;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_INITDIALOG = 0x0110;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_USER = 0x0400;
constexpr UINT WM_APP = 0x8000;

// System commands.
constexpr WPARAM SC_CLOSE = 0xF060;

// List-view messages the layer answers.
constexpr UINT LVM_FIRST = 0x1000;
constexpr UINT LVM_GETITEMCOUNT = LVM_FIRST + 4;
constexpr UINT LVM_DELETEALLITEMS = LVM_FIRST + 9;

// Virtual keys.
constexpr WPARAM VK_RETURN = 0x0D;
constexpr WPARAM VK_ESCAPE = 0x1B;
constexpr WPARAM VK_SPACE = 0x20;
constexpr WPARAM VK_F4 = 0x73;

// Dialog command ids.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

// Button notifications.
constexpr WORD BN_CLICKED = 0;

// PeekMessage.
constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;

// ShowWindow.
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOW = 5;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_RESTORE = 9;

// GetWindow.
constexpr UINT GW_HWNDNEXT = 2;

// WM_SETICON.
constexpr WPARAM ICON_SMALL = 0;
constexpr WPARAM ICON_BIG = 1;

// GetSystemMetrics.
constexpr int SM_CXICON = 11;
constexpr int SM_CYICON = 12;

// Message boxes.
constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_ICONSTOP = 0x00000010;

// Window styles kept by templates.
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_DISABLED = 0x08000000;
constexpr DWORD WS_CAPTION = 0x00C00000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
constexpr DWORD WS_TABSTOP = 0x00010000;
constexpr DWORD WS_GROUP = 0x00020000;
constexpr DWORD WS_BORDER = 0x00800000;
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD DS_MODALFRAME = 0x80;
constexpr DWORD DS_SYSMODAL = 0x02;
constexpr DWORD DS_SETFONT = 0x40;
constexpr DWORD DS_CENTER = 0x0800;
constexpr DWORD WS_EX_CLIENTEDGE = 0x00000200;
constexpr DWORD BS_OWNERDRAW = 0x0000000B;
constexpr DWORD SS_CENTER = 0x00000001;
constexpr DWORD SS_BITMAP = 0x0000000E;
constexpr DWORD LVS_REPORT = 0x0001;
constexpr DWORD LVS_SINGLESEL = 0x0004;

// List-view items.
constexpr UINT LVIF_TEXT = 0x0001;
constexpr int LVCFMT_LEFT = 0;
