// Whole-file read and write, the one way the program touches its data files.
// Windows and POSIX builds each link their own implementation.
#pragma once

#include <cstdint>

// Reads a file into an owned, zero-terminated text (free with free()).
// An empty path succeeds with no text; a missing or empty file fails.
bool read_whole_file(const char* path, char** text, uint32_t* size);

// Replaces the file with the text (without its terminator). The bytes go to a
// temporary file in the same folder first, so a failed write leaves the
// previous file untouched.
bool write_whole_file(const char* path, const char* text);
