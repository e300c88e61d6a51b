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

// Tells of a failed operation on a file or with the browser, in a box of the
// given kind (an information box unless asked): "<what>\n\n<path>", then, when
// an error is given, a blank line and the system's own words for it. The
// messages whose words are fixed give none. Returns the box's answer.
int report_failure(const char* what, const char* path, DWORD error = ERROR_SUCCESS, UINT flags = MB_ICONINFORMATION);

// The fixed box for faults that should not happen; the fault text is not shown.
void application_error(const char* fault);
