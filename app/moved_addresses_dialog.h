// Update Moved Addresses: every moved bookmark with its new address, ticked
// unless the new address is a site's front page or a sign-in page for a
// deeper page; the ticked ones take their new addresses at once, as one
// change Undo takes back.
#pragma once

#include <windows.h>

void update_moved_command(HWND parent);
