// Putting text on the Windows clipboard.
#pragma once

#include <windows.h>

// Replaces the clipboard's contents with a copy of the text, as plain text.
// Nothing happens when the clipboard cannot be opened.
void copy_text_to_clipboard(HWND owner, const char* text);
