// Whole-file read and write, the one way the program touches its data files.
// Windows and POSIX builds each link their own implementation.
//
// A file is never written in place: its new bytes go to a new file with a
// unique name in the same folder, which is flushed to the disk and only then
// takes the old file's place. A failure at any step leaves the old file as it
// was.
#pragma once

#include <cstddef>
#include <cstdint>

// Reads a file into an owned, zero-terminated text (free with free()).
// An empty path succeeds with no text; a missing or empty file fails. Others
// may write, replace or delete the file meanwhile (browsers do, running).
bool read_whole_file(const char* path, char** text, uint32_t* size);

// Hands out a file's bytes one piece at a time: the next piece and its length,
// or null when there is no more. A piece stays valid until the next call.
typedef const char* (*NextPieceFn)(void* context, size_t* length);

// Writes the bytes the pieces give in turn to a new file with a unique name in
// the folder of `path` (a short name, so that it fits wherever `path` fits),
// and flushes it to the disk. Returns the new file's path (owned, free with
// free()), or null when it could not be written; nothing is left behind then.
char* write_file_beside(const char* path, NextPieceFn next_piece, void* context);

// Puts the file `replacement` (a new file in the same folder) in the place of
// the file at `path`. With a backup name, the previous file, if there is one,
// becomes the backup; a file already there is replaced, so callers that want
// to keep it move it aside first. Where the system offers a replace call that
// keeps the file's security settings, it is used. False when it failed: the
// file at `path` is then the one that was there before, and `replacement` is
// left for the caller to remove.
bool replace_file(const char* path, const char* replacement, const char* backup);

// Renames the file at `path` to a new unique name beside it, given in *aside
// (owned, free with free()); *aside is null when there is no file at `path`.
// False when the file is there but could not be renamed.
bool move_aside(const char* path, char** aside);

// True when `path` names a file (not a folder).
bool file_exists(const char* path);
bool remove_file(const char* path);

// Replaces the file with the text (without its terminator), or with the bytes
// the pieces give: write_file_beside, then replace_file without a backup.
bool write_whole_file(const char* path, const char* text);
bool write_whole_file_pieces(const char* path, NextPieceFn next_piece, void* context);

// The steps of replacing a file, in order: writing the new file, flushing it,
// moving the old file to the backup name, moving the new file in.
enum FileStep { FILE_STEP_NONE, FILE_STEP_WRITE, FILE_STEP_FLUSH, FILE_STEP_ROTATE, FILE_STEP_MOVE_IN };

// Test seam: the next time the step is taken, it fails as if the system had
// refused it (once). Some steps cannot be made to fail from outside, and a
// test must see what a failure at each of them leaves behind. The program
// itself never calls this.
void fail_next_file_step(FileStep step);
// For the implementations: true (once) when the step is the one to fail.
bool file_step_fails(FileStep step);
