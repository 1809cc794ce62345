// Command targets and windows: the objects whose message maps receive a window's messages.
#pragma once

#include "platform/ui/cstring.h"
#include "platform/ui/message_map.h"
#include "platform/ui/win_types.h"

class CCmdTarget {
 public:
  virtual ~CCmdTarget() = default;

  // Runs the handler for the message from this object's map chain; false when none matches.
  bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

  // The application's wait cursor: shown while the count is above zero.
  void BeginWaitCursor();
  void EndWaitCursor();

  static const AFX_MSGMAP* GetThisMessageMap();
  virtual const AFX_MSGMAP* GetMessageMap() const;
};

class CWnd;

class CDataExchange {
 public:
  CDataExchange(CWnd* dialog, BOOL saveAndValidate)
      : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}
  BOOL m_bSaveAndValidate;
  CWnd* m_pDlgWnd;
  bool m_bFailed = false;
};

class CWnd : public CCmdTarget {
 public:
  CWnd() = default;
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;
  ~CWnd() override;

  HWND m_hWnd = nullptr;

  // Every message for the window passes here: its map chain first, then the default processing.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // The default processing of the message being handled.
  LRESULT Default();

  virtual void DoDataExchange(CDataExchange* /*pDX*/) {}
  BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

  // Binds this object to the dialog's control `id`, so that the control's messages reach it.
  BOOL SubclassDlgItem(UINT id, CWnd* parent);

  void SetWindowText(const char* text);
  void CenterWindow(CWnd* alternateOwner = nullptr);
  CWnd* SetFocus();
  BOOL IsIconic() const;
  void GetClientRect(RECT* rect) const;
  BOOL SetForegroundWindow();
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  UINT_PTR SetTimer(UINT_PTR id, UINT elapseMs, void* timerProc);
  BOOL KillTimer(UINT_PTR id);

  DECLARE_MESSAGE_MAP()
};

void DDX_Control(CDataExchange* pDX, int id, CWnd& control);
