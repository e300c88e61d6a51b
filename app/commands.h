// Commands of the main window, whatever reached them: menu, accelerator,
// toolbar, context menu or the list's own notifications.
#pragma once

#include <windows.h>

#include "core/bookmark.h"

// The frame's WM_COMMAND handler.
void run_command(int id, HWND control, UINT code);

// Deletes the selected bookmarks, after asking when the options say so.
void delete_selected();

// Shows the record's page in the browser and marks it visited.
void open_bookmark(Bookmark* record);

// Records a visit now (or at the page's modified date when that lies ahead),
// so the bookmark no longer shows as changed.
void mark_visited(Bookmark* record);
