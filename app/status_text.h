// The first pane of the status bar: results of actions for a while, texts of
// long actions until replaced, "Ready" otherwise.
#pragma once

#include <windows.h>

// Shows text in the first status pane for duration milliseconds (STATUS_FOREVER:
// until replaced). A null text or zero duration means "Ready", unless a null
// text arrives while a timed text is still due.
void set_status_text(const char* text, DWORD duration);

// Width in pixels of a text in the status bar's font.
int status_text_width(const char* text);
