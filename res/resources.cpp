#include "platform/ui/win_types.h"
#include "res/resource.h"

namespace {

#include "res/art/icon_128.xpm"
#include "res/art/quit_d.xpm"
#include "res/art/quit_f.xpm"
#include "res/art/quit_u.xpm"
#include "res/art/splash_137.xpm"

using ui::ControlClass;
using ui::DialogItem;

const ui::ResourceTable kResources = {
    // String table.
    {
        {IDS_NO_REDIRECTOR,
         "No Holmsgard Redirector name is found in this machine.\n  Please make sure Holmsgard "
         "is running."},
        {IDS_STATUS_LOCAL, "Local"},
        {IDS_STATUS_ACTIVE, "Active"},
        {IDS_STATUS_INACTIVE, "Inactive"},
        {IDS_TITLE, "Pellorin"},
        {IDS_COLUMN_ADAPTER, "#A"},
        {IDS_COLUMN_NAME, "Name"},
        {IDS_COLUMN_NODE, "Node Address"},
        {IDS_GROUPNAME_FAILED, "Network error.  Unable to add NetBIOS groupname."},
        {IDS_COLUMN_MINUTES, "Minutes Running"},
        {IDS_COLUMN_STATUS, "Status"},
        {IDS_COLUMN_ERROR, "Error"},
    },
    // Dialog templates.
    {
        {IDD_MONITOR,
         "Pellorin",
         WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE | DS_MODALFRAME |
             DS_SETFONT,
         0,
         279,
         226,
         "MS Sans Serif",
         8,
         {
             DialogItem{IDC_QUIT, ControlClass::kButton, "QUIT", 224, 199, 41, 22,
                        BS_OWNERDRAW | WS_VISIBLE | WS_TABSTOP},
             DialogItem{IDC_STATION_LIST, ControlClass::kListView, "", 9, 7, 260, 180,
                        LVS_REPORT | LVS_SINGLESEL | WS_BORDER | WS_VISIBLE | WS_TABSTOP},
         }},
        {IDD_SPLASH,
         "",
         WS_POPUP | DS_MODALFRAME | DS_CENTER | DS_SYSMODAL | DS_SETFONT,
         WS_EX_CLIENTEDGE,
         171,
         75,
         "MS Sans Serif",
         8,
         {
             DialogItem{-1, ControlClass::kStatic, "Initializing Pellorin...", 9, 32, 153, 10,
                        WS_VISIBLE | SS_CENTER | WS_GROUP},
             DialogItem{-1, ControlClass::kStatic, "137", 61, 57, 49, 14, WS_VISIBLE | SS_BITMAP},
             DialogItem{IDCANCEL, ControlClass::kButton, "Cancel", 128, 58, 37, 14,
                        WS_DISABLED | WS_TABSTOP},
         }},
    },
    // Icons.
    {{"128", icon_128_xpm}},
    // Bitmaps.
    {
        {"QUITU", quit_u_xpm},
        {"QUITD", quit_d_xpm},
        {"QUITF", quit_f_xpm},
        {"137", splash_137_xpm},
    },
};

}  // namespace

const ui::ResourceTable& PellorinResources() { return kResources; }
