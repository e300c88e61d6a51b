// Bringing in the bookmarks that the browsers keep: the Favorites folder of
// Internet Explorer and the bookmark file of Netscape Navigator, both found
// through the registry. Start-up runs them when the options (or a first run)
// ask for it; the "Import Favorites..." command imports a folder of its own.
#pragma once

#include <windows.h>

// The Favorites folder named in the registry, with a "\" appended; the
// Windows directory when the registry names none.
void favorites_folder(char folder[MAX_PATH]);

// Merges Netscape Navigator's bookmark file, as the registry locates it, and
// tells in the status bar how many bookmarks were new. Silent when there is
// no such file in the registry or nothing new was found.
void rescan_netscape_bookmarks();

// The rescans of start-up: Netscape's file for "Auto Rescan Bookmarks", the
// Favorites folder for "Auto Rescan Favorites", both on a first run.
void run_startup_rescans(bool first_run);
