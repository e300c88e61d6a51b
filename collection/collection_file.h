// The collection file: an HTML bookmark list with a fixed header, one entry per
// bookmark and a fixed footer, written whole on every save.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/containers.h"

struct Bookmark;
struct Collection;

// The exact header, by which the reader knows the program's own files.
extern const char COLLECTION_FILE_HEADER[];
const uint32_t COLLECTION_FILE_HEADER_LENGTH = 228;
extern const char COLLECTION_FILE_FOOTER[];
const uint32_t COLLECTION_FILE_FOOTER_LENGTH = 18;

// The whole file for the given records (Bookmark*) in the given order. Titles
// have & < >, tabs, line breaks and repeated or leading blanks written as
// character references so that every title reads back exactly; URLs have each
// double quote written as "%22" (which the reader would take for the URL's
// end); keyword texts are written verbatim. Owned text, free with free().
char* build_collection_text(const PtrVector* records);

// One bookmark's entry of that text, and a title as it writes titles.
void append_collection_entry(TextBuffer* tb, const Bookmark* record);
void append_title_text(TextBuffer* tb, const char* title);

// Replaces the file at the path with that text, written piece by piece to a
// new file beside it first. Returns false when the file could not be written;
// the previous file is then untouched.
bool write_collection_file(const PtrVector* records, const char* path);

// Hands the same text to a sink piece by piece, as saving writes it, for
// destinations other than a file (lktool's standard output). False as soon
// as the sink answers false.
using PieceSinkFn = bool (*)(const char* bytes, size_t length, void* context);
bool write_collection_pieces(const PtrVector* records, PieceSinkFn sink, void* context);

// Writes the collection's records to the path as write_collection_file does.
// With keep_backup the previous file becomes the path with ".bak" appended,
// once the new file is completely written: a failure at any step leaves both
// the file and its backup as they were. Returns false when the file could not
// be written. Nothing is shown here: the status text while saving and the
// message about a failed write are the caller's part.
bool save_collection(const Collection* collection, const char* path, bool keep_backup);
