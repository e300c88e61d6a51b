// The settings file (lk.ini): reading and writing single keys of its sections
// through the system's private profile functions.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The file every read and write below goes to; set once at start-up.
void set_settings_path(const char* path);
const char* settings_path();

// Settings files of older versions hold texts in the system's ANSI code page,
// while the program reads its settings as UTF-8: the system would hand such a
// value out with U+FFFD for its other letters, and write that back. Each line
// of the file that is not valid UTF-8 is converted from the ANSI code page to
// UTF-8 once, before anything is read from it; other lines are left as they
// are. False when the file needed converting but could not be rewritten.
bool convert_ansi_settings();

// True when the key has a non-empty value: an optional "-" and the decimal
// digits that follow it, anything after them ignored. *value is untouched on false.
bool read_int_setting(const char* section, const char* key, int32_t* value);
// The key's text cut to size; true when it is not empty.
bool read_string_setting(const char* section, const char* key, char* buffer, uint32_t size);
bool write_int_setting(const char* section, const char* key, int32_t value);
bool write_string_setting(const char* section, const char* key, const char* text);
// The keys a section holds, in the file's order; none when it has none.
std::vector<std::string> read_setting_keys(const char* section);
// Takes the key and its value out of the section.
bool remove_setting(const char* section, const char* key);
