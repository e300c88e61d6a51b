// Reading HTML bookmark files into the collection: the program's own
// collection file, imported files and the Netscape bookmark file. One bookmark
// is assembled per anchor and handed to a bookmark sink.
//
// The reading logic reports only through its progress callback and its result.
// The Windows program wraps it with its status text, progress bar, wait cursor
// and failure message: load_bookmark_file, then (knowing the size) its display,
// then read_bookmark_text with a progress callback that moves the bar.
#pragma once

#include <cstdint>

struct BookmarkSink;
struct Collection;
struct ImportReport;

// Receives the kilobytes parsed so far (at most once per kilobyte); answers
// whether to go on.
using ReadProgressFn = bool (*)(uint32_t kilobytes, void* context);

// The reader of Netscape bookmark files and of the program's own: reads a
// text already in memory (UTF-8) into the sink. The folders of a Netscape
// bookmark file enclose its bookmarks. The progress callback may be null.
void read_netscape_bookmarks(BookmarkSink* sink, const char* text, ReadProgressFn progress, void* context);

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
