// The Windows faces of reading and saving bookmark files: wait cursor, status
// text, progress bar and the messages that tell the user what failed.
#pragma once

struct ImportReport;

// Reads one bookmark file into the collection, showing "Reading <path>" and a
// progress bar for larger files; tells the user when the file cannot be read.
// Asks for a refilter in every case. The report, when given, counts what the
// file added, merged and skipped.
bool read_bookmark_file_shown(const char* path, bool automatic, ImportReport* report = nullptr);

// Reads the collection file at start-up. A file that does not exist yet is the
// normal first start; one that exists but cannot be read is remembered, so
// that closing does not write the empty collection over it unasked.
void read_collection_at_startup();

// Saves the collection to its file (with the backup when the option is set).
// False, after telling the user, when it was not written.
bool save_collection_file();
