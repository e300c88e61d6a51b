// Resource, control and message ids shared by the resource script, the
// program and its tests. The numbers are part of the program's files and
// dialogs: keep them as they are. The resource compiler reads this file too,
// so it holds only preprocessor definitions.
#pragma once

// Window class of the frame; a second instance finds the first by it.
#define FRAME_CLASS_NAME "RiziDuvuviRozov"
#define FRAME_TITLE "Ravozorizi"

// Menus, accelerators, icons and bitmaps
#define IDR_MAIN_MENU 101
#define IDI_APP 102
#define IDB_TOOLBAR 104
#define IDB_LOGO 106
#define IDB_STATUS_IMAGES 110
#define IDR_ACCELERATORS 118
#define IDB_BROWSE 127

// The export scope dialog
#define IDD_EXPORT_SCOPE 128
#define IDC_SCOPE_ALL 1031
#define IDC_SCOPE_SELECTED 1032
#define IDC_SCOPE_ICON 1039

// Child windows of the frame
#define IDC_LIST_VIEW (-1)
#define IDC_TOOLBAR 100
#define IDC_STATUS_BAR 101
#define IDC_SEARCH_FILTER 40008

// Commands (menu, accelerators, toolbar, context menu); each has its help text
// under the same id in the string table, but Copy.
#define IDM_FIRST 40001
#define IDM_QUIT 40001
#define IDM_ADD 40002
#define IDM_DELETE 40003
#define IDM_CONTENTS 40004
#define IDM_ABOUT 40005
#define IDM_PROPERTIES 40007
#define IDM_OPTIONS 40010
#define IDM_IMPORT 40011
#define IDM_SAVE 40012
#define IDM_EXPORT 40013
#define IDM_FAST_ADD 40014
#define IDM_OPEN 40015
#define IDM_MARK_VISITED 40016
#define IDM_IMPORT_FAVORITES 40026
#define IDM_START_CHECKING 40029
#define IDM_STOP_CHECKING 40030
#define IDM_DICTIONARY 40031
#define IDM_COPY_URL 40032
#define IDM_COPY 40037
#define IDM_LAST 40037

// The frame's one-minute timer that drives automatic status checking.
#define IDT_CHECK_MINUTE 1
