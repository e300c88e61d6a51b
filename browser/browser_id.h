// The two browsers the program can drive, and the selection values beside them.
#pragma once

#include <cstdint>

// Values of BrowserProfile::browser_id and BrowserLink::selected_browser.
const uint32_t BROWSER_NETSCAPE = 0;
const uint32_t BROWSER_IEXPLORE = 1;
const uint32_t BROWSER_UNKNOWN = 2;    // detect_default_browser: neither of the two
const uint32_t BROWSER_AUTOMATIC = 3;  // selection: ask the registry on every use
