// Bookmarks written as browsers write their own exports: a Netscape bookmark
// file in which every bookmark stands in the folders it came from, nested
// headings and lists, so that a browser importing it gets its folders back.
#pragma once

#include "core/containers.h"

// The whole file for the records (Bookmark*): the bookmarks of no folder
// first, then each folder with its own bookmarks before the folders within
// it; the bookmarks of a folder keep their order in the vector. The entries
// are those of the collection file, so the program reads them back whole.
// Owned text, free with free().
char* build_folder_tree_text(const PtrVector* records);

// Replaces the file at the path with that text; false when it could not be
// written.
bool write_folder_tree_file(const PtrVector* records, const char* path);
