// Single keys of the settings file.
#include "platform/settings_file.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/ansi_text.h"
#include "core/whole_file.h"

namespace {

char path_of_settings[MAX_PATH];

}  // namespace

void set_settings_path(const char* path) { lstrcpynA(path_of_settings, path, MAX_PATH); }

const char* settings_path() { return path_of_settings; }

bool convert_ansi_settings() {
    char* text = nullptr;
    uint32_t size = 0;
    if (!read_whole_file(path_of_settings, &text, &size)) return true;
    // A file with a byte order mark is read as what it says it is.
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
    bool marked = size >= 2 && ((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF) ||
                                (bytes[0] == 0xEF && bytes[1] == 0xBB));
    std::string converted;
    bool changed = false;
    for (const char* line = text; !marked && *line;) {
        const char* end = strchr(line, '\n');
        end = end ? end + 1 : line + strlen(line);
        const size_t length = static_cast<size_t>(end - line);
        char* utf8 = utf8_or_converted(line, length);
        if (utf8) {
            converted += utf8;
            free(utf8);
            changed = true;
        } else {
            converted.append(line, length);
        }
        line = end;
    }
    free(text);
    return !changed || write_whole_file(path_of_settings, converted.c_str());
}

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

std::vector<std::string> read_setting_keys(const char* section) {
    // The keys come as one block of zero-terminated names, cut short (and
    // the size two less than the room) when the room is too small.
    std::vector<char> names(4096);
    while (GetPrivateProfileStringA(section, nullptr, "", names.data(), static_cast<DWORD>(names.size()),
                                    path_of_settings) == names.size() - 2) {
        names.resize(names.size() * 2);
    }
    std::vector<std::string> keys;
    for (const char* name = names.data(); *name; name += strlen(name) + 1) keys.push_back(name);
    return keys;
}

bool remove_setting(const char* section, const char* key) {
    return WritePrivateProfileStringA(section, key, nullptr, path_of_settings) != FALSE;
}
