// Favorites folder and Netscape bookmark file rescans.
#include "app/rescans.h"

#include <shlobj.h>

#include <cstdio>
#include <cstring>

#include "app/app_state.h"
#include "app/browser_imports.h"
#include "app/collection_files.h"
#include "app/import_reports.h"
#include "app/status_text.h"
#include "collection/favorites_import.h"
#include "platform/registry.h"

namespace {

const char kShellFoldersKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char kNetscapeBookmarksKey[] = "Software\\Netscape\\Netscape Navigator\\Bookmark List";

bool read_favorites_value(char folder[MAX_PATH]) {
    UniqueKey key;
    if (!open_registry_key(HKEY_CURRENT_USER, kShellFoldersKey, nullptr, &key)) return false;
    // An empty value names no folder; with the separator added it would
    // name the root of the current drive.
    return read_registry_string(key.get(), "Favorites", folder, MAX_PATH) && folder[0] != '\0';
}

}  // namespace

bool favorites_folder(char folder[MAX_PATH]) {
    // Never the Windows folder: importing all of it takes long and brings in
    // whatever shortcuts programs left there.
    if (!read_favorites_value(folder) &&
        !(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_FAVORITES, nullptr, SHGFP_TYPE_CURRENT, folder)) && folder[0])) {
        folder[0] = '\0';
        return false;
    }
    size_t length = strlen(folder);
    if (length + 1 < MAX_PATH) {
        folder[length] = '\\';
        folder[length + 1] = '\0';
    }
    return true;
}

void rescan_netscape_bookmarks(ImportReport* report) {
    UniqueKey key;
    if (!open_registry_key(HKEY_CURRENT_USER, kNetscapeBookmarksKey, nullptr, &key)) return;
    char path[MAX_PATH];
    if (read_registry_string(key.get(), "File Location", path, sizeof path)) {
        uint32_t before = app_state->collection.records->count;
        read_bookmark_file_shown(path, true, report);
        uint32_t found = app_state->collection.records->count - before;
        if (found != 0) {
            char text[MAX_PATH + 64];
            snprintf(text, sizeof text, "%u new Ravozorizi found during rescan of %s", found, path);
            set_status_text(text, 8000);
        }
    }
}

void run_startup_rescans(bool first_run) {
    uint32_t flags = app_state->options.option_flags;
    const bool netscape = (flags & OPT_AUTO_RESCAN_BOOKMARKS) || first_run;
    const bool favorites = (flags & OPT_AUTO_RESCAN_FAVORITES) || first_run;
    const bool browsers = (flags & OPT_AUTO_RESCAN_BROWSERS) || first_run;
    if (!netscape && !favorites && !browsers) return;
    ImportReport* report = begin_import_report();
    if (netscape) rescan_netscape_bookmarks(report);
    char folder[MAX_PATH];
    if (favorites && favorites_folder(folder)) {
        import_favorites(&app_state->collection, folder, report);
        app_state->filter_dirty = 1;
    }
    if (browsers) rescan_browsers(first_run, report);
    if (first_run) show_import_counts();
}
