#include "platform/ui/message_box.h"

#include <string>

#include "platform/ui/cstring.h"
#include "platform/ui/detail/window_registry.h"
#include "platform/ui/dialog.h"
#include "platform/ui/win_app.h"

namespace {

constexpr int kTextId = 0xFFFF;

class CMessageBoxDlg : public CDialog {
 public:
  CMessageBoxDlg(std::string text, UINT type)
      : CDialog(&m_template, nullptr),
        m_text(std::move(text)),
        m_caption(AfxGetAppName()),
        m_type(type) {
    m_template = ui::DialogTemplate{
        0,
        m_caption,
        WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
        0,
        200,
        60,
        "MS Sans Serif",
        8,
        {ui::DialogItem{kTextId, ui::ControlClass::kStatic, m_text, 40, 10, 150, 24, WS_VISIBLE},
         ui::DialogItem{IDOK, ui::ControlClass::kButton, "OK", 75, 40, 50, 14,
                        WS_VISIBLE | WS_TABSTOP}}};
  }

 protected:
  void OnWindowCreated() override {
    std::lock_guard lock(ui::WindowMutex());
    if (ui::WindowState* w = ui::FindWindowState(m_hWnd)) {
      w->is_message_box = true;
      w->message_box_type = m_type;
    }
  }

 private:
  ui::DialogTemplate m_template;
  std::string m_text;
  std::string m_caption;
  UINT m_type;
};

}  // namespace

int AfxMessageBox(const char* text, UINT type, UINT /*helpId*/) {
  CMessageBoxDlg box(text ? text : "", type);
  INT_PTR result = box.DoModal();
  return result < 0 ? 0 : static_cast<int>(result);
}

int AfxMessageBox(UINT promptId, UINT type, UINT helpId) {
  CString text;
  text.LoadString(promptId);
  return AfxMessageBox(text, type, helpId == static_cast<UINT>(-1) ? promptId : helpId);
}
