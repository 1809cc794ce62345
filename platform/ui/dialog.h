// Modal dialogs built from templates, with the dialog manager's keys and close request.
#pragma once

#include "platform/ui/cwnd.h"
#include "platform/ui/resources.h"

using INT_PTR = std::intptr_t;

class CDialog : public CWnd {
 public:
  explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

  // Creates the window hidden from the template, sends WM_INITDIALOG, shows it and runs its
  // modal loop until EndDialog; then destroys it and returns the code given to EndDialog.
  // -1 when the template cannot be found.
  virtual INT_PTR DoModal();
  virtual BOOL OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  // Marks the dialog ended; the modal loop stops once the running handler has returned.
  // Ending an already ended dialog changes nothing.
  void EndDialog(int nResult);

 protected:
  // For dialogs whose template is built at run time (message boxes).
  CDialog(const ui::DialogTemplate* dialogTemplate, CWnd* pParentWnd);
  // Called with the new window's handle before WM_INITDIALOG.
  virtual void OnWindowCreated() {}

  UINT m_nIDTemplate;
  const ui::DialogTemplate* m_pTemplate = nullptr;
  CWnd* m_pParentWnd;

  DECLARE_MESSAGE_MAP()

 private:
  HWND CreateFromTemplate(const ui::DialogTemplate& t);
  bool IsDialogMessage(const MSG& msg);

  bool m_bEnded = false;
  int m_nModalResult = -1;
};
