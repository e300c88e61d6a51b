// Commands of the main window, whatever reached them: menu, accelerator,
// toolbar, context menu or the list's own notifications.
#pragma once

#include <windows.h>

// The frame's WM_COMMAND handler.
void run_command(int id, HWND control, UINT code);
