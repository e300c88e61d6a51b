// Find Duplicates: the bookmarks of one page in groups, one kept of each
// (the oldest, the newest, or the one the user ticks); after one question the
// others' keywords join it and they are deleted, as one change Undo takes back.
#pragma once

#include <windows.h>

void find_duplicates_command(HWND parent);
