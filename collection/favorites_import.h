// Importing a Favorites folder: every Internet Shortcut in the folder and in
// all its subfolders becomes a bookmark, merged with a stored one of the same
// URL. Nothing is shown: files that cannot be read or are not shortcuts are
// skipped, and the report (which may be null) tells which and why. An empty
// folder path names no folder: nothing is imported.
#pragma once

struct BookmarkSink;
struct Collection;
struct ImportReport;

void import_favorites(Collection* collection, const char* folder, ImportReport* report = nullptr);

// One shortcut file (its path, and its name for the title and the report)
// into the sink; a file that cannot be read is noted as skipped.
void import_shortcut_file(BookmarkSink* sink, const char* path, const char* name);
