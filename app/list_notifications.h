// What the list itself reports to the frame beyond its display: the Delete
// key, double click, Enter, typed letters, and right click, Shift+F10 or the
// Menu key with the context menu.
#pragma once

#include <windows.h>

#include <commctrl.h>

// Handles a notification from the list; the result goes back to the list.
LRESULT list_notify(const NMHDR* header);

// The context menu asked for from the keyboard (Shift+F10, the Menu key): the
// selection's menu, shown at the focused row.
void show_keyboard_context_menu();
