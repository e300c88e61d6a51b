// Single keys of the settings file.
#include "platform/settings_file.h"

#include <windows.h>

#include <cstdio>

namespace {

char path_of_settings[MAX_PATH];

}  // namespace

void set_settings_path(const char* path) { lstrcpynA(path_of_settings, path, MAX_PATH); }

const char* settings_path() { return path_of_settings; }

bool read_int_setting(const char* section, const char* key, int32_t* value) {
    char text[32];
    GetPrivateProfileStringA(section, key, "", text, sizeof text, path_of_settings);
    if (!text[0]) return false;
    const char* p = text;
    bool negative = *p == '-';
    if (negative) p++;
    // Unsigned arithmetic: long digit strings wrap instead of overflowing.
    uint32_t number = 0;
    for (; *p >= '0' && *p <= '9'; p++) number = number * 10 + static_cast<uint32_t>(*p - '0');
    if (negative) number = 0u - number;
    *value = static_cast<int32_t>(number);
    return true;
}

bool read_string_setting(const char* section, const char* key, char* buffer, uint32_t size) {
    GetPrivateProfileStringA(section, key, "", buffer, size, path_of_settings);
    return buffer[0] != '\0';
}

bool write_int_setting(const char* section, const char* key, int32_t value) {
    char text[16];
    snprintf(text, sizeof text, "%d", static_cast<int>(value));
    return write_string_setting(section, key, text);
}

bool write_string_setting(const char* section, const char* key, const char* text) {
    return WritePrivateProfileStringA(section, key, text, path_of_settings) != FALSE;
}
