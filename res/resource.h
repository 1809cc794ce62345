// Resource ids of the application.
#pragma once

#include "platform/ui/resources.h"

constexpr unsigned IDD_MONITOR = 102;
constexpr unsigned IDR_MAINFRAME = 128;
constexpr unsigned IDB_SPLASH = 137;
constexpr unsigned IDD_SPLASH = 138;
constexpr int IDC_STATION_LIST = 1006;
constexpr int IDC_QUIT = 1012;
constexpr unsigned ID_HELP = 0xE146;

constexpr unsigned IDS_NO_REDIRECTOR = 59142;
constexpr unsigned IDS_STATUS_LOCAL = 59143;
constexpr unsigned IDS_STATUS_ACTIVE = 59144;
constexpr unsigned IDS_STATUS_INACTIVE = 59145;
constexpr unsigned IDS_TITLE = 59146;
constexpr unsigned IDS_COLUMN_ADAPTER = 59147;
constexpr unsigned IDS_COLUMN_NAME = 59148;
constexpr unsigned IDS_COLUMN_NODE = 59149;
constexpr unsigned IDS_GROUPNAME_FAILED = 59150;
constexpr unsigned IDS_COLUMN_MINUTES = 59151;
constexpr unsigned IDS_COLUMN_STATUS = 59152;
constexpr unsigned IDS_COLUMN_ERROR = 59153;

// The application's string table, dialog templates, icon and bitmaps.
const ui::ResourceTable& PellorinResources();
