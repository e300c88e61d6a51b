// Reading Internet Shortcut files.
#include "collection/internet_shortcut.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "collection/collection.h"

namespace {

const char kHeader[] = "[InternetShortcut]";
const char kUrlKey[] = "URL=";

bool starts_with_nocase(const char* text, const char* prefix) {
    for (; *prefix; text++, prefix++) {
        if (fold_ascii(*text) != fold_ascii(*prefix)) return false;
    }
    return true;
}

}  // namespace

bool is_shortcut_file_name(const char* name) {
    const char* extension = strrchr(name, '.');
    return extension && str_compare_nocase(extension, ".url") == 0;
}

char* shortcut_url(const char* text) {
    if (!starts_with_nocase(text, kHeader)) return nullptr;
    const char* p = text + strlen(kHeader);
    while (*p && isspace(static_cast<unsigned char>(*p))) p++;
    if (!starts_with_nocase(p, kUrlKey)) return nullptr;
    p += strlen(kUrlKey);
    // The URL ends with its line: the keys that follow it (IconFile, Modified
    // and so on) are not part of it.
    size_t length = strcspn(p, "\r\n");
    return trim_in_place(str_dup_span(p, length));
}

char* shortcut_title(const char* file_name) {
    const char* extension = strrchr(file_name, '.');
    return str_dup_span(file_name, extension ? static_cast<size_t>(extension - file_name) : strlen(file_name));
}

bool import_shortcut_text(Collection* collection, const char* file_name, const char* text) {
    char* url = shortcut_url(text);
    if (!url) return false;
    add_or_merge(collection, shortcut_title(file_name), url, nullptr, DATE_UNSET, DATE_UNSET, DATE_UNSET, true);
    return true;
}
