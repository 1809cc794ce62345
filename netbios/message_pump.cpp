#include "netbios/message_pump.h"

#include "platform/ui/message_queue.h"
#include "platform/ui/window.h"

void PumpPendingMessages() {
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE))
    SendMessage(msg.hwnd, msg.message, msg.wParam, msg.lParam);
}
