// Painting a minimised window: the paint context and icon drawing.
#pragma once

#include "platform/ui/cwnd.h"

class CDC {
 public:
  HDC m_hDC = nullptr;
  HDC GetSafeHdc() const { return m_hDC; }
  BOOL DrawIcon(int x, int y, HICON icon);
};

// Opens painting of a window for the life of the object.
class CPaintDC : public CDC {
 public:
  explicit CPaintDC(CWnd* wnd);
  CPaintDC(const CPaintDC&) = delete;
  CPaintDC& operator=(const CPaintDC&) = delete;
};

namespace ui {
// Where the last DrawIcon of a window put its icon; for displays and tests.
struct IconPlacement {
  HWND hwnd;
  int x;
  int y;
  HICON icon;
};
IconPlacement LastIconPlacement();
}  // namespace ui
