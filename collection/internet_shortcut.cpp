// Reading Internet Shortcut files: a small reader of the settings-file form
// they take, looking for one key of one section.
#include "collection/internet_shortcut.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "collection/bookmark_source.h"
#include "collection/import_report.h"
#include "core/ansi_text.h"

namespace {

const char kSection[] = "InternetShortcut";
const char kUrlKey[] = "URL";

bool is_blank(char c) { return c == ' ' || c == '\t'; }

// Whether the bytes from start to end, without blanks at their ends, are the
// name, in any letter case.
bool is_name(const char* start, const char* end, const char* name) {
    while (start < end && is_blank(*start)) start++;
    while (end > start && is_blank(end[-1])) end--;
    const size_t length = strlen(name);
    if (static_cast<size_t>(end - start) != length) return false;
    for (size_t i = 0; i < length; i++) {
        if (fold_ascii(start[i]) != fold_ascii(name[i])) return false;
    }
    return true;
}

}  // namespace

bool is_shortcut_file_name(const char* name) {
    const char* extension = strrchr(name, '.');
    return extension && str_compare_nocase(extension, ".url") == 0;
}

char* shortcut_url(const char* text) {
    bool in_section = false;
    for (const char* line = text; *line;) {
        while (*line && isspace(static_cast<unsigned char>(*line))) line++;
        const size_t length = strcspn(line, "\r\n");
        const char* end = line + length;
        if (*line == '[') {
            const char* close = static_cast<const char*>(memchr(line, ']', length));
            if (close) {
                in_section = is_name(line + 1, close, kSection);
                // Whatever follows the header on its line is read as a line of its own.
                line = close + 1;
                continue;
            }
        }
        const char* equals = static_cast<const char*>(memchr(line, '=', length));
        if (in_section && equals && is_name(line, equals, kUrlKey)) {
            return trim_in_place(str_dup_span(equals + 1, static_cast<size_t>(end - equals - 1)));
        }
        line = end;
    }
    return nullptr;
}

char* shortcut_title(const char* file_name) {
    const char* extension = strrchr(file_name, '.');
    return str_dup_span(file_name, extension ? static_cast<size_t>(extension - file_name) : strlen(file_name));
}

bool shortcut_bookmark(const char* file_name, const char* text, char** url, char** title) {
    char* converted = utf8_or_converted(text, strlen(text));
    *url = shortcut_url(converted ? converted : text);
    free(converted);
    if (!*url) return false;
    const char* name = file_name + strlen(file_name);
    while (name > file_name && name[-1] != '\\' && name[-1] != '/') name--;
    *title = shortcut_title(name);
    return true;
}

void read_internet_shortcut(BookmarkSink* sink, const char* file_name, const char* text) {
    char* url;
    char* title;
    if (!shortcut_bookmark(file_name, text, &url, &title)) {
        note_skipped(sink->report, file_name, "not an Internet Shortcut");
        return;
    }
    SourceBookmark bookmark = empty_source_bookmark();
    bookmark.url = url;
    bookmark.title = title;
    if (take_bookmark(sink, bookmark) == ADD_SKIPPED) note_skipped(sink->report, file_name, IMPORT_NO_ADDRESS);
    free(title);
    free(url);
}
