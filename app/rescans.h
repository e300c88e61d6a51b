// Bringing in the bookmarks that the browsers keep: the Favorites folder of
// Internet Explorer and the bookmark file of Netscape Navigator, both found
// through the registry. Start-up runs them when the options (or a first run)
// ask for it; the "Import Favorites..." command imports a folder of its own.
#pragma once

#include <windows.h>

struct ImportReport;

// The Favorites folder named in the registry, with a "\" appended; the
// user's Favorites folder as the shell knows it when the registry names none.
// False (and an empty folder) when neither names one.
bool favorites_folder(char folder[MAX_PATH]);

// Merges Netscape Navigator's bookmark file, as the registry locates it, and
// tells in the status bar how many bookmarks were new. Silent when there is
// no such file in the registry or nothing new was found. The report counts
// what the file added, merged and skipped.
void rescan_netscape_bookmarks(ImportReport* report);

// The rescans of start-up: Netscape's file for "Auto Rescan Bookmarks", the
// Favorites folder for "Auto Rescan Favorites", the browsers' stores for
// "Auto Rescan Browsers", all on a first run, which shows what they added,
// merged and skipped in the status bar.
void run_startup_rescans(bool first_run);
