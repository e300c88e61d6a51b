// The dialog in which a bookmark's title, URL and keywords are typed or
// changed and its dates and last check are shown; serves both Add and
// Properties. For a moved page it offers to take the new address.
#pragma once

#include <windows.h>

#include "core/bookmark.h"

// Edits the record modally. keyword_text is a slot for an owned text:
// - in: an offered keyword text (or null), used when the record has no
//   keywords yet; the dialog frees it in every case;
// - out, on OK: a new text (free with free()) to give to set_bookmark_keywords.
// On OK the record's URL and title have been replaced by new strings; a stored
// record whose URL changed has been moved to its new place by URL, and another
// stored bookmark with the same URL has been deleted (with its list row) if the
// user agreed. On Cancel the record is unchanged and the slot is null.
bool edit_bookmark_properties(Bookmark* record, char** keyword_text, HWND parent);

// The last check as the dialog shows it, the day in local time: "Checked 12
// Mar 2027: 404 Not Found", "...: moved to https://...", "...: blocked by the
// site (403)", "Never checked". Owned text, free with free().
char* describe_last_check(const Bookmark* record);
