// Message boxes, the way every part of the program tells the user something
// that needs an answer or must not be missed, and the box for internal faults.
#pragma once

#include <windows.h>

extern const char APP_NAME[];  // "Ravozorizi": caption of every message box

// The window that owns a box when no window of the thread is active: the main
// window sets itself when it is created and clears itself when it goes.
void set_message_box_owner(HWND owner);

// Caption defaults to the product name; owned by the active window, else the owner set above.
int app_message_box(const char* title, const char* text, UINT flags);

// The fixed box for faults that should not happen; the fault text is not shown.
void application_error(const char* fault);
