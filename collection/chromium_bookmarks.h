// The `Bookmarks` file of Chromium-family browsers (Chrome, Edge, Brave,
// Vivaldi, Opera, ...): JSON with the roots "bookmark_bar", "other" and
// "synced" (the mobile bookmarks), each a tree of folders and URLs.
#pragma once

#include <cstddef>

#include "collection/store_bookmarks.h"

// Whether a text looks like such a file: a JSON object with "roots" near its start.
bool is_chromium_bookmarks_text(const char* text, size_t length);

// The bookmarks of the three roots in the browser's order, each with its
// folder path below its root, `date_added` as the add date and
// `date_last_used` as the last visit. Stray bytes in texts are taken as they
// are (the browser itself writes such titles). Unknown roots are passed over.
// A text that is no such file gives no bookmarks and a failure.
StoreRead read_chromium_bookmarks(const char* text, size_t length);

// The same for a file, read while the browser may be replacing it.
StoreRead read_chromium_bookmarks_file(const char* path);
