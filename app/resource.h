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
// The toolbar and status images for screens at 125, 150 and 200 %
#define IDB_TOOLBAR_125 151
#define IDB_TOOLBAR_150 152
#define IDB_TOOLBAR_200 153
#define IDB_STATUS_IMAGES_125 161
#define IDB_STATUS_IMAGES_150 162
#define IDB_STATUS_IMAGES_200 163

// Dialogs, the options sheet's pages and their controls
#define IDD_PROPERTIES 103
#define IDD_ABOUT 105
#define IDD_DICTIONARY 119
#define IDD_OPTIONS_BROWSER 121
#define IDD_OPTIONS_GENERAL 122
#define IDD_OPTIONS_STARTUP 123
#define IDC_PROP_TITLE 1000
#define IDC_PROP_URL 1001
#define IDC_PROP_KEYWORDS 1002
#define IDC_PROP_MODIFIED 1017
#define IDC_PROP_VISITED 1018
#define IDC_PROP_ADDED 1019
#define IDC_PROP_TAB 1026
#define IDC_PROP_CHECK 1060
#define IDC_PROP_USE_MOVED 1061
#define IDC_ABOUT_VERSION 1003
#define IDC_ABOUT_BUILD 1004
#define IDC_ABOUT_LOGO 1035
#define IDC_ABOUT_FILES 1036
#define IDC_DICT_WORDS 1029
#define IDC_DICT_CASE 1030
#define IDC_DICT_COUNT 1034
#define IDC_OPT_PARTIAL_MATCH 1007
#define IDC_OPT_CASE_SENSITIVE 1010
#define IDC_OPT_COLLECTION_PATH 1011
#define IDC_OPT_TOOLTIPS 1012
#define IDC_OPT_BROWSE_COLLECTION 1013
#define IDC_OPT_BACKUP 1033
#define IDC_OPT_CONFIRM_SINGLE 1050
#define IDC_OPT_CONFIRM_MULTIPLE 1051
#define IDC_OPT_LAUNCH_BROWSER 1008
#define IDC_OPT_AUTO_CHECK 1020
#define IDC_OPT_RESCAN_BOOKMARKS 1048
#define IDC_OPT_RESCAN_FAVORITES 1049
#define IDC_OPT_RESCAN_BROWSERS 1064
#define IDC_OPT_INTERVAL 1052
#define IDC_OPT_INTERVAL_ARROWS 1053
#define IDC_OPT_CONNECTIONS 1054
#define IDC_OPT_CONNECTIONS_ARROWS 1055
#define IDC_OPT_NETSCAPE_PATH 1041
#define IDC_OPT_BROWSE_NETSCAPE 1042
#define IDC_OPT_IEXPLORE_PATH 1043
#define IDC_OPT_BROWSE_IEXPLORE 1044
#define IDC_OPT_NETSCAPE 1045
#define IDC_OPT_IEXPLORE 1046
#define IDC_OPT_AUTOMATIC 1047
#define IDC_OPT_USE_URL_DLL 1049  // on the Browser page; 1049 on the Startup page is another control

// The export scope dialog
#define IDD_EXPORT_SCOPE 128
#define IDC_SCOPE_ALL 1031
#define IDC_SCOPE_SELECTED 1032
#define IDC_SCOPE_ICON 1039

// The Import from Browser dialog
#define IDD_IMPORT_BROWSER 129
#define IDC_BROWSER_STORES 1062
#define IDC_BROWSER_OTHER 1063

// The Find Duplicates and Update Moved Addresses dialogs
#define IDD_FIND_DUPLICATES 140
#define IDD_MOVED_ADDRESSES 141
#define IDC_DUP_LIST 2200
#define IDC_DUP_OLDEST 2201
#define IDC_DUP_NEWEST 2202
#define IDC_DUP_SUMMARY 2203
#define IDC_MOVED_LIST 2210

// Child windows of the frame
#define IDC_LIST_VIEW (-1)
#define IDC_TOOLBAR 100
#define IDC_STATUS_BAR 101
#define IDC_SEARCH_FILTER 40008

// Commands (menu, accelerators, toolbar, context menu); each has its help text
// under the same id in the string table, but Copy and Select All.
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
#define IDM_SELECT_ALL 40033  // Ctrl+A: every row, or all the filter's text; in no menu
#define IDM_COPY 40037
#define IDM_IMPORT_REPORT 40038
#define IDM_PASTE 40039  // the search filter pastes its text; the list, the links on the clipboard
#define IDM_IMPORT_BROWSER 40040
#define IDM_LAST 40040
#define IDM_UNDO 41100  // the search filter undoes its typing; elsewhere the last change to the bookmarks
#define IDM_FIND_DUPLICATES 41101
#define IDM_UPDATE_MOVED 41102

// The header's menu: show or hide a column, IDM_SHOW_COLUMN + its ListColumn.
#define IDM_SHOW_COLUMN 41000
#define IDM_SHOW_COLUMN_LAST 41004

// The web archive's copy of a dead page: its command and the Properties
// dialog's controls.
#define IDM_OPEN_ARCHIVED 41200
#define IDC_PROP_ARCHIVE_LABEL 2300
#define IDC_PROP_ARCHIVE 2301
#define IDC_PROP_USE_ARCHIVE 2302

// The frame's one-minute timer that drives automatic status checking.
#define IDT_CHECK_MINUTE 1
#define IDT_CHECK_RESULTS 2
#define IDT_URL_SORT_KEYS 3
#define IDT_SEARCH_TERMS 4
