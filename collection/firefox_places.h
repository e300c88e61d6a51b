// Firefox's `places.sqlite`: its bookmarks, their folders, tags and keywords.
// The browser's own database is never opened: it may be running, and a
// database held open by another program breaks its bookmarks. A copy of the
// file with its write-ahead log is read instead, and removed.
#pragma once

#include <cstddef>

#include "collection/store_bookmarks.h"

// Whether a file's first bytes are those of an SQLite database.
bool is_sqlite_database_text(const char* text, size_t length);

// Copies the database at `path` (a path as the program's files take them) and
// its "-wal" file into a new temporary folder, checks the copy (a copy taken
// while the browser writes may be torn: it is taken a second time then),
// reads it and removes the folder. The bookmarks of the menu, the toolbar,
// the other and the mobile bookmarks in the browser's order, each with its
// folder path, `dateAdded` as the add date, its place's last visit, and its
// place's tags and keyword as keywords. Separators and saved queries
// ("place:") are no bookmarks. A database that cannot be copied, fails its
// check or lacks the tables gives no bookmarks and a failure.
StoreRead read_firefox_places(const char* path);
