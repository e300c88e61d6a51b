// Exporting bookmarks to an HTML file in the collection format, and the small
// dialog that asks whether all bookmarks or only the selected ones are meant.
#pragma once

#include <windows.h>

#include "core/containers.h"

// The file dialogs' filter for bookmark files: HTML files first, then all.
extern const char HTML_FILES_FILTER[];

// Answers of ask_export_scope.
enum ExportScope { EXPORT_CANCELLED = 0, EXPORT_ALL = 1, EXPORT_SELECTED = 2 };

// Asks for a file name and writes the records (Bookmark*) there in vector
// order, in the collection format or, when that type is chosen in the file
// dialog, in the folders they came from as browsers import them; reports the count in the status bar, or a failed write
// in a box.
void export_bookmarks(const PtrVector* records);

// The scope dialog with the verb in its caption and buttons ("Export").
int ask_export_scope(HWND owner, const char* verb);
