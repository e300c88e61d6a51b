// The attributes of an anchor's start tag in a bookmark file: its URL, its
// dates, its tags and the program's own record of its last status check.
#pragma once

#include <cstddef>
#include <cstdint>

#include "collection/check_state.h"
#include "core/containers.h"

// What an anchor start tag says: the URL verbatim, the three dates, each
// DATE_UNSET when its attribute is missing, and the tags.
struct AnchorAttributes {
    TextBuffer url;  // appended to; the caller empties it between anchors
    uint32_t added;
    uint32_t last_visit;
    uint32_t last_modified;
    TextBuffer tags;  // TAGS="a,b" as "a b", references decoded; appended to like url
    // The last status check (LAST_CHECK, CHECK_VERDICT, ...); check.last_check
    // is 0 without one. check.moved_to and check.archive point into the tag,
    // moved_to_length and archive_length bytes.
    StoredCheck check;
    size_t moved_to_length;
    size_t archive_length;
    // The folder path the program wrote (FOLDER), in the form of
    // collection/folder_path.h whatever the value held; meant only when
    // has_folder (an empty path is a folder with an empty name).
    TextBuffer folder;
    bool has_folder;
};

// Reads the attributes of the anchor start tag at `tag` (at its "<"), names in
// any letter case, values in double, single or no quotes. The URL is the first
// HREF with a double-quoted value, taken verbatim. Dates are decimal numbers of
// seconds; larger ones, in milliseconds or microseconds as some exporters write
// them, are scaled to seconds. The caller owns url, tags and folder. False when the tag has no such URL.
bool parse_anchor_attributes(AnchorAttributes* anchor, const char* tag);
