// What the list itself reports to the frame beyond its display: the Delete
// key, double click, Enter and right click with its context menu.
#pragma once

#include <windows.h>

#include <commctrl.h>

// Handles a notification from the list; the result goes back to the list.
LRESULT list_notify(const NMHDR* header);
