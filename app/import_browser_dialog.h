// File, Import from Browser...: the profiles of the browsers found for the
// user (browser, profile, number of bookmarks, last change), ticked to be
// imported, and "Other folder..." for a portable browser or a profile moved
// elsewhere. The ticked ones are imported, each with its line in the report,
// and become the ones "Auto Rescan Browsers" re-reads.
#pragma once

#include <windows.h>

void import_from_browser(HWND owner);
