// Walking a Favorites folder tree with the Win32 directory enumeration.
#include "collection/favorites_import.h"

#include <windows.h>

#include <cstring>

#include "collection/bookmark_source.h"
#include "collection/import_report.h"
#include "collection/internet_shortcut.h"
#include "core/handles_win32.h"

namespace {

// Joins folder (ending in a separator) and name into path; false when the
// result would not fit the platform's path limit.
bool join_path(char path[MAX_PATH], const char* folder, const char* name) {
    size_t folder_length = strlen(folder);
    size_t name_length = strlen(name);
    if (folder_length + name_length >= MAX_PATH) return false;
    memcpy(path, folder, folder_length);
    memcpy(path + folder_length, name, name_length + 1);
    return true;
}

void import_folder(BookmarkSink* sink, const char* folder) {
    char base[MAX_PATH];
    size_t length = strlen(folder);
    // An empty path would become the root of the current drive.
    if (length == 0 || length + 1 >= MAX_PATH) return;
    memcpy(base, folder, length + 1);
    if (base[length - 1] != '\\' && base[length - 1] != '/') {
        base[length] = '\\';
        base[length + 1] = '\0';
    }
    char path[MAX_PATH];
    if (!join_path(path, base, "*.*")) return;
    WIN32_FIND_DATAA found;
    UniqueFind search(FindFirstFileA(path, &found));
    if (!search) return;
    do {
        const char* name = found.cFileName;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (strcmp(name, ".") == 0 || strcmp(name, "..") == 0) continue;
            // Each level lengthens the path, so the path limit also bounds the
            // depth, folder links that lead back up included.
            if (join_path(path, base, name)) import_folder(sink, path);
        } else if (is_shortcut_file_name(name)) {
            if (join_path(path, base, name)) {
                import_shortcut_file(sink, path, name);
            } else {
                note_skipped(sink->report, name, "path too long");
            }
        }
    } while (FindNextFileA(search.get(), &found));
}

}  // namespace

void import_shortcut_file(BookmarkSink* sink, const char* path, const char* name) {
    UniqueFile file(
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    char text[SHORTCUT_READ_LIMIT + 1];
    DWORD got = 0;
    if (file && ReadFile(file.get(), text, SHORTCUT_READ_LIMIT, &got, nullptr)) {
        text[got] = '\0';
        read_internet_shortcut(sink, name, text);
    } else {
        note_skipped(sink->report, name, "could not be read");
    }
}

void import_favorites(Collection* collection, const char* folder, ImportReport* report) {
    BookmarkSink sink = open_bookmark_sink(collection, true, report);
    import_folder(&sink, folder);
    close_bookmark_sink(&sink);
}
