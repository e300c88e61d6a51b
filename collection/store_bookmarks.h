// Bookmarks read from a browser's own store (a Chromium-family `Bookmarks`
// file, a Firefox `places.sqlite`), as plain records that the readers fill and
// one function hands to the collection. A store is read whole before anything
// is added: one that cannot be read adds nothing and says why.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct BookmarkSink;

// Folders nested deeper than this count as the deepest one kept: the path of
// every bookmark is copied, and a store may nest thousands of folders.
const size_t STORE_FOLDER_DEPTH = 64;

struct StoreBookmark {
    std::string url;
    std::string title;
    std::vector<std::string> folders;   // the folder path below the store's root, outermost first
    uint32_t added;                     // seconds since 1970, DATE_UNSET when the store has none
    uint32_t last_visit;                // the same
    std::vector<std::string> keywords;  // tags and keywords the browser keeps for it
};

struct StoreRead {
    std::vector<StoreBookmark> bookmarks;  // in the order the browser shows them
    std::string failure;                   // why the store could not be read; empty when it was
};

// Seconds since 1970 of microseconds since 1970 (Firefox) or since 1601-01-01
// (Chromium); DATE_UNSET for 0 and for moments the date unit cannot hold.
uint32_t date_of_unix_microseconds(int64_t microseconds);
uint32_t date_of_windows_microseconds(int64_t microseconds);

// The text with each byte that does not start a valid UTF-8 character replaced
// by U+FFFD, as browsers show such titles: the collection keeps UTF-8 only.
std::string repaired_utf8(const std::string& text);

// Hands the bookmarks to the sink, which adds them or merges them with stored
// ones of the same URL as a Netscape bookmark file's are: their keywords and
// folder path join the keyword text. A skipped one is named in the sink's
// report by its folder path and title.
void add_store_bookmarks(BookmarkSink* sink, const StoreRead& store);
