// The dialog in which a bookmark's title, URL and keywords are typed or
// changed and its dates are shown; serves both Add and Properties.
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
