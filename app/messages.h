// The three ways the program speaks to the user: message boxes, the first
// pane of the status bar, and the box for internal faults.
#pragma once

#include <windows.h>

// Caption defaults to the product name; owned by the active window, else the frame.
int app_message_box(const char* title, const char* text, UINT flags);

// Shows text in the first status pane for duration milliseconds (STATUS_FOREVER:
// until replaced). A null text or zero duration means "Ready", unless a null
// text arrives while a timed text is still due.
void set_status_text(const char* text, DWORD duration);

// Width in pixels of a text in the status bar's font.
int status_text_width(const char* text);

// The fixed box for faults that should not happen; the fault text is not shown.
void application_error(const char* fault);
