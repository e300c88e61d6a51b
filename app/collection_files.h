// The Windows faces of reading and saving bookmark files: wait cursor, status
// text, progress bar and the messages that tell the user what failed.
#pragma once

struct ImportReport;

// Reads one bookmark file into the collection, showing "Reading <path>" and a
// progress bar for larger files; tells the user when the file cannot be read.
// Asks for a refilter in every case. The report, when given, counts what the
// file added, merged and skipped.
bool read_bookmark_file_shown(const char* path, bool automatic, ImportReport* report = nullptr);

// Reads the collection file at start-up. A recovery file left by the end of
// the last Windows session is offered first. A file that is not there while
// its folder is makes a first start, with its backup offered when there is
// one. A file that cannot be read, or is out of reach, is reported and
// remembered, so that closing does not write over it unasked.
void read_collection_at_startup();

// The Save command: saves the collection to its file (with the backup when
// the option is set), showing "Saving Ravozorizi file: <path>" meanwhile.
// False, after telling the user, when it was not written.
bool save_collection_file();

// Saves at close; when that fails, asks whether to close anyway and lose the
// changes. True when the program may close.
bool save_collection_before_closing();

// Saves at the end of the Windows session, when there is no time to ask: what
// cannot go to the collection file goes to a recovery file beside it, or in
// the user's temporary folder, which the next start offers.
void save_collection_at_session_end();
