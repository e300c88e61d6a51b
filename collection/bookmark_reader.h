// Reading HTML bookmark files into the collection: the program's own
// collection file, imported files and the Netscape bookmark file. One bookmark
// is assembled per anchor and handed to add_or_merge.
//
// The reading logic reports only through its progress callback and its result.
// The Windows program wraps it with its status text, progress bar, wait cursor
// and failure message: load_bookmark_file, then (knowing the size) its display,
// then read_bookmark_text with a progress callback that moves the bar.
#pragma once

#include <cstdint>

#include "collection/check_state.h"
#include "core/containers.h"

struct Collection;
struct ImportReport;

// Receives the kilobytes parsed so far (at most once per kilobyte); answers
// whether to go on.
using ReadProgressFn = bool (*)(uint32_t kilobytes, void* context);

// What an anchor start tag says: the URL verbatim, the three dates, each
// DATE_UNSET when its attribute is missing, and the tags.
struct AnchorAttributes {
    TextBuffer url;  // appended to; the caller empties it between anchors
    uint32_t added;
    uint32_t last_visit;
    uint32_t last_modified;
    TextBuffer tags;  // TAGS="a,b" as "a b", references decoded; appended to like url
    // The last status check (LAST_CHECK, CHECK_VERDICT, ...); check.last_check
    // is 0 without one. check.moved_to points into the tag, moved_to_length bytes.
    StoredCheck check;
    size_t moved_to_length;
};

// Reads the attributes of the anchor start tag at `tag` (at its "<"), names in
// any letter case, values in double, single or no quotes. The URL is the first
// HREF with a double-quoted value, taken verbatim. Dates are decimal numbers of
// seconds; larger ones, in milliseconds or microseconds as some exporters write
// them, are scaled to seconds. False when the tag has no such URL.
bool parse_anchor_attributes(AnchorAttributes* anchor, const char* tag);

// Parses a text already in memory into the collection; tags, and the folder
// names of a Netscape bookmark file, join each bookmark's description. Always
// true. The progress callback and the report may be null.
bool parse_bookmark_text(Collection* collection, const char* text, bool automatic, ReadProgressFn progress,
                         void* context, ImportReport* report = nullptr);

// True when the text starts with the complete header of the collection file.
bool is_collection_file_text(const char* text);

// Reads a whole bookmark file into an owned text (free with free()). Fails for
// a missing, unreadable or empty file and for an empty path.
bool load_bookmark_file(const char* path, char** text, uint32_t* size);

// Parses a loaded file: the program's own files always with automatic off (their
// descriptions are stored keyword texts), any other file as asked. A text that
// is not UTF-8 is read in the system's ANSI code page.
void read_bookmark_text(Collection* collection, const char* text, bool automatic, ReadProgressFn progress,
                        void* context, ImportReport* report = nullptr);

// Loads and reads one file without any display. False when it could not be
// loaded; nothing is added then.
bool read_bookmark_file(Collection* collection, const char* path, bool automatic, ReadProgressFn progress,
                        void* context, ImportReport* report = nullptr);
