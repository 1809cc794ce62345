// Message boxes: a nested modal loop on the calling thread, captioned with the application
// name, showing the text, an optional stop icon and an OK button. Returns the button pressed.
#pragma once

#include "platform/ui/win_types.h"

int AfxMessageBox(const char* text, UINT type = MB_OK, UINT helpId = 0);
// Loads the text from the string table; help id -1 stands for the prompt's own id.
int AfxMessageBox(UINT promptId, UINT type = MB_OK, UINT helpId = static_cast<UINT>(-1));
