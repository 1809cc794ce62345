// Owner-drawn push button showing bitmaps named after its text: "<text>U" normal, "D" pressed,
// "F" focused, "X" disabled.
#pragma once

#include "platform/ui/cwnd.h"

class CButton : public CWnd {};

class CBitmapButton : public CButton {
 public:
  // Binds the dialog's button `id`, loads its bitmaps and sizes it to the normal one. FALSE when
  // the control or its normal bitmap is missing; missing D, F or X bitmaps are left empty.
  BOOL AutoLoad(UINT id, CWnd* parent);
};
