// Everything the application's window code uses from the window layer.
#pragma once

#include "platform/ui/bitmap_button.h"
#include "platform/ui/cstring.h"
#include "platform/ui/cwnd.h"
#include "platform/ui/dialog.h"
#include "platform/ui/list_ctrl.h"
#include "platform/ui/message_box.h"
#include "platform/ui/message_map.h"
#include "platform/ui/message_queue.h"
#include "platform/ui/paint.h"
#include "platform/ui/resources.h"
#include "platform/ui/win_app.h"
#include "platform/ui/win_types.h"
#include "platform/ui/window.h"
