// Importing and rescanning browsers' stores, and what lk.ini keeps of them.
#include "app/browser_imports.h"

#include <shlobj.h>

#include <algorithm>
#include <cstdio>

#include "app/app_state.h"
#include "collection/browser_import.h"
#include "collection/import_report.h"
#include "platform/settings_file.h"

namespace {

// Each chosen store's file path, with its state when last read as the value.
const char kStoresSection[] = "Browser Stores";
// The value of a chosen store that could not be read: any state differs.
const char kUnread[] = "unread";

// The size and last write of the file and of its write-ahead log, where the
// browser may have put its latest changes: a text that changes with either.
std::string file_state(const std::string& path) {
    std::string state;
    for (const std::string& file : {path, path + "-wal"}) {
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        if (!GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &data)) continue;
        char text[96];
        snprintf(text, sizeof text, "%lu:%lu:%lu:%lu;", data.nFileSizeHigh, data.nFileSizeLow,
                 data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime);
        state += text;
    }
    return state;
}

void set_folder(int csidl, char folder[MAX_PATH]) {
    if (FAILED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, folder))) folder[0] = '\0';
}

}  // namespace

void find_app_data_folders() {
    set_folder(CSIDL_LOCAL_APPDATA, app_state->local_app_data);
    set_folder(CSIDL_APPDATA, app_state->roaming_app_data);
}

std::vector<BrowserStore> user_browser_stores() {
    return find_browser_stores(app_state->local_app_data, app_state->roaming_app_data);
}

void import_chosen_store(const BrowserStore& store, const StoreRead& read, ImportReport* report) {
    const std::string state = file_state(store.file);
    const bool taken = import_store_read(&app_state->collection, store_display_name(store), read, report);
    write_string_setting(kStoresSection, store.file.c_str(), taken ? state.c_str() : kUnread);
    app_state->filter_dirty = 1;
}

void forget_chosen_store(const BrowserStore& store) { remove_setting(kStoresSection, store.file.c_str()); }

void rescan_browsers(bool first_run, ImportReport* report) {
    std::vector<BrowserStore> stores = user_browser_stores();
    if (!first_run) {
        // Chosen stores of folders the user named: found again from the
        // folder of their file, as Import from Browser's "Other folder" does.
        std::vector<std::string> chosen = read_setting_keys(kStoresSection);
        for (const BrowserStore& store : stores)
            chosen.erase(std::remove(chosen.begin(), chosen.end(), store.file), chosen.end());
        for (const std::string& file : chosen) {
            const size_t end = file.find_last_of("/\\");
            if (end == std::string::npos) continue;
            for (const BrowserStore& store : find_stores_in_folder(file.substr(0, end))) {
                if (store.file == file) stores.push_back(store);
            }
        }
    }
    for (const BrowserStore& store : stores) {
        char kept[256] = "";
        const bool chosen = read_string_setting(kStoresSection, store.file.c_str(), kept, sizeof kept);
        if (first_run || (chosen && file_state(store.file) != kept)) {
            import_chosen_store(store, read_browser_store(store), report);
        }
    }
}
