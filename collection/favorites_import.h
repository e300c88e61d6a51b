// Importing a Favorites folder: every Internet Shortcut in the folder and in
// all its subfolders becomes a bookmark, merged with a stored one of the same
// URL. Nothing is shown: files that cannot be read or are not shortcuts are
// skipped. The caller compares the collection's size before and after.
#pragma once

struct Collection;

void import_favorites(Collection* collection, const char* folder);
