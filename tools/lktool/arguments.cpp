// Option values shared by lktool's subcommands.
#include "tools/lktool/arguments.h"

#include <cstdio>
#include <cstring>

#include "core/bookmark.h"

bool parse_flag_argument(const char* text, bool* value) {
    if (strcmp(text, "0") != 0 && strcmp(text, "1") != 0) return false;
    *value = text[0] == '1';
    return true;
}

bool parse_seconds_argument(const char* text, uint32_t* value) {
    uint64_t seconds = 0;
    if (*text == '\0') return false;
    for (const char* p = text; *p; p++) {
        if (*p < '0' || *p > '9') return false;
        seconds = seconds * 10 + static_cast<uint64_t>(*p - '0');
        if (seconds >= DATE_CHECKING) return false;
    }
    *value = static_cast<uint32_t>(seconds);
    return true;
}

void report_unreadable_file(const char* path) { fprintf(stderr, "Unable to import html bookmark file\n\n%s\n", path); }

bool write_output(const char* text, size_t length) {
    size_t written = fwrite(text, 1, length, stdout);
    return fflush(stdout) == 0 && written == length;
}
