// Reading the browser's answer to "which page do you show": a quoted URL, a
// comma and a quoted second field, whose form depends on the browser.
#pragma once

#include <cstdint>

// Splits a window-info reply. BROWSER_NETSCAPE takes the title from the window
// caption "Netscape - [title]" in the second field; BROWSER_IEXPLORE takes the
// second field as it is. On success *url is an owned text
// and *title an owned text or null; on failure both are null. Free with free().
bool parse_window_info(const char* reply, uint32_t browser_id, char** url, char** title);
