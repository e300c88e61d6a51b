// What every reader of a bookmark source hands on. There is one reader per
// source format (a Netscape bookmark file or the program's own, an Internet
// Shortcut file, a browser's own store); each fills a SourceBookmark per
// bookmark it finds and gives it to the sink, which adds it to the collection
// (or merges it with the stored one of the same URL) and counts it in the
// import report. A reader notes itself, with note_skipped, the entries it
// passes over and those the sink refuses, since only it knows where they stood.
#pragma once

#include <cstdint>

#include "collection/check_state.h"
#include "collection/import_report.h"
#include "core/bookmark.h"
#include "core/containers.h"

struct Collection;

// One bookmark as its source keeps it. Every text is borrowed for the call
// and NUL-terminated; none is null.
struct SourceBookmark {
    const char* url;          // as the source writes it: the collection tidies it
    const char* title;        // may be empty: the bookmark is then titled with its URL
    const char* description;  // the source's own words about it; may be empty
    const char* tags;         // its tags and keywords, separated by spaces; may be empty
    // The names of the folders that enclose it, outermost first (their lengths
    // known: every bookmark in a folder takes its name).
    const TextBuffer* folders;
    uint32_t folder_count;
    // The folder path the program wrote for it (collection/folder_path.h),
    // which it keeps in place of the enclosing folders'; may be null.
    const char* folder_path;
    uint32_t added;  // seconds since 1970; DATE_UNSET when the source has none
    uint32_t last_visit;
    uint32_t last_modified;
    const StoredCheck* check;  // the last status check, which only the program's files keep; may be null
};

// A bookmark with empty texts, no folders, no check and unset dates.
inline SourceBookmark empty_source_bookmark() {
    return SourceBookmark{"", "", "", "", nullptr, 0, nullptr, DATE_UNSET, DATE_UNSET, DATE_UNSET, nullptr};
}

// Where a reader's bookmarks go. While a sink is open the collection takes
// them in one add batch.
struct BookmarkSink {
    Collection* collection;
    bool automatic;        // their words become their keywords (else the description is the keyword text)
    ImportReport* report;  // may be null
    TextBuffer keyword_text;
    TextBuffer folder_path;
};

BookmarkSink open_bookmark_sink(Collection* collection, bool automatic, ImportReport* report);
void close_bookmark_sink(BookmarkSink* sink);

// Adds the bookmark or merges it, and counts it. The description, then the
// tags, then the folder names from the innermost out, make the text its
// keywords come from besides its title. It keeps the folder path it came
// from (or, merged, the one it had). ADD_SKIPPED (the URL cannot be
// stored) is left to the reader to note.
AddOutcome take_bookmark(BookmarkSink* sink, const SourceBookmark& bookmark);
