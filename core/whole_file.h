// Whole-file read and write, the one way the program touches its data files.
// Windows and POSIX builds each link their own implementation.
#pragma once

#include <cstddef>
#include <cstdint>

// Reads a file into an owned, zero-terminated text (free with free()).
// An empty path succeeds with no text; a missing or empty file fails.
bool read_whole_file(const char* path, char** text, uint32_t* size);

// Replaces the file with the text (without its terminator). The bytes go to a
// temporary file in the same folder first, so a failed write leaves the
// previous file untouched.
bool write_whole_file(const char* path, const char* text);

// Hands out a file's bytes one piece at a time: the next piece and its length,
// or null when there is no more. A piece stays valid until the next call.
typedef const char* (*NextPieceFn)(void* context, size_t* length);

// Replaces the file as write_whole_file does, with the bytes the pieces give
// in turn: a large file is written without first being built whole in memory.
bool write_whole_file_pieces(const char* path, NextPieceFn next_piece, void* context);
