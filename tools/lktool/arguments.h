// Option values shared by lktool's subcommands.
#pragma once

#include <cstddef>
#include <cstdint>

// "0" or "1".
bool parse_flag_argument(const char* text, bool* value);
// A moment in seconds since 1970 that is a real date (below the sentinels).
bool parse_seconds_argument(const char* text, uint32_t* value);
// The message the program shows when a bookmark file cannot be read, with the path.
void report_unreadable_file(const char* path);
// Writes the bytes to standard output; false when they could not all be written.
bool write_output(const char* text, size_t length);
