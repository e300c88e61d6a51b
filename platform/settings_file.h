// The settings file (lk.ini): reading and writing single keys of its sections
// through the system's private profile functions.
#pragma once

#include <cstdint>

// The file every read and write below goes to; set once at start-up.
void set_settings_path(const char* path);
const char* settings_path();

// True when the key has a non-empty value: an optional "-" and the decimal
// digits that follow it, anything after them ignored. *value is untouched on false.
bool read_int_setting(const char* section, const char* key, int32_t* value);
// The key's text cut to size; true when it is not empty.
bool read_string_setting(const char* section, const char* key, char* buffer, uint32_t size);
bool write_int_setting(const char* section, const char* key, int32_t value);
bool write_string_setting(const char* section, const char* key, const char* text);
