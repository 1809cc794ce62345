// The splash shown on a thread of its own while the monitor dialog initializes; it closes
// itself at the first once-a-second tick that finds the initialization done.
#pragma once

#include "platform/ui/framework.h"

class CSplashDlg : public CDialog {
 public:
  explicit CSplashDlg(CWnd* pParent = nullptr);
  static constexpr UINT_PTR IDT_SPLASH = 104;

 protected:
  BOOL OnInitDialog() override;
  void OnCancel() override;
  void OnTimer(UINT_PTR nIDEvent);
  void OnClose();

  DECLARE_MESSAGE_MAP()
};

// The splash thread: runs the dialog given as param, deletes it, returns 0.
UINT SplashThreadProc(void* param);
