// Links and bookmark files that come in from other programs: dragged onto the
// list, or on the clipboard.
#pragma once

#include <windows.h>

#include <ole2.h>

// Whether the data holds anything the list takes: a link, or an Internet
// Shortcut or bookmark file.
bool holds_links(IDataObject* data);

// Adds the links the data holds, each under Add's rules (the URL tidied, one
// no bookmark may have refused, a stored one left as it is), or imports the
// files, and says in the status bar how it went; the import report keeps the
// counts and the reasons.
void take_links(IDataObject* data);

// The Paste command with the list focused: the clipboard's links, taken so.
bool clipboard_holds_links();
void paste_links();

// The clipboard's first link, for a new bookmark: URL and title as owned texts
// (free with free()), the title null when the clipboard carries none. False
// when the clipboard holds no link.
bool clipboard_link(char** url, char** title);
