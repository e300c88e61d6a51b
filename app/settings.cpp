// The settings file: keys, defaults, the first-run marker, the legacy import
// and the checks that keep a saved window on the desktop.
#include "app/settings.h"

#include <cstdio>

#include "browser/browser_link.h"
#include "checker/archive_lookup.h"
#include "checker/scheduler.h"
#include "core/version.h"
#include "platform/module_path.h"
#include "platform/registry.h"
#include "platform/settings_file.h"

namespace {

const char kGeneral[] = "General";
const char kSearch[] = "Search Properties";
const char kLayout[] = "Window Layout";
const char kFirstRun[] = "First Run";
const char kCollectionKey[] = "Linkstone File";
const char kArchiveServiceKey[] = "Archive Service";

const uint32_t kDefaultFlagsSet = OPT_PARTIAL_MATCH | OPT_BACKUP_COLLECTION | OPT_TOOLTIPS |
                                  OPT_CONFIRM_SINGLE_DELETES | OPT_CONFIRM_MULTIPLE_DELETES;
const uint32_t kDefaultFlagsClear = OPT_CASE_SENSITIVE | OPT_AUTO_LAUNCH_BROWSER | OPT_IMPLIED_OR |
                                    OPT_AUTO_RESCAN_BOOKMARKS | OPT_AUTO_RESCAN_FAVORITES | OPT_AUTO_RESCAN_BROWSERS |
                                    OPT_AUTO_STATUS_CHECK;
const uint32_t kDefaultCheckInterval = 15;
const uint32_t kLongestHostInterval = 60;
const char kColumnsKey[] = "Columns";
const int32_t kMinFrameWidth = 50;
const int32_t kMinFrameHeight = 20;

// One integer key of the options block: a bit of option_flags when flag is
// nonzero, else a field.
struct OptionKey {
    const char* section;
    const char* key;
    uint32_t flag;
    uint32_t Options::*field;
};

// In the order in which they are written; "Version", "Build" and the
// collection path follow the first table.
const OptionKey kOptionKeys[] = {
    {kSearch, "Partial Match", OPT_PARTIAL_MATCH, nullptr},
    {kSearch, "Case Sensitive", OPT_CASE_SENSITIVE, nullptr},
    {kSearch, "Implied Or", OPT_IMPLIED_OR, nullptr},
    {kGeneral, "Auto Launch Browser", OPT_AUTO_LAUNCH_BROWSER, nullptr},
    {kGeneral, "Backup Linkstone File", OPT_BACKUP_COLLECTION, nullptr},
    {kGeneral, "Auto Rescan Bookmarks", OPT_AUTO_RESCAN_BOOKMARKS, nullptr},
    {kGeneral, "Auto Rescan Favorites", OPT_AUTO_RESCAN_FAVORITES, nullptr},
    {kGeneral, "Auto Rescan Browsers", OPT_AUTO_RESCAN_BROWSERS, nullptr},
    {kGeneral, "Auto Status Check", OPT_AUTO_STATUS_CHECK, nullptr},
    {kGeneral, "Tooltips", OPT_TOOLTIPS, nullptr},
    {kGeneral, "Auto Check Interval", 0, &Options::check_interval},
    {kGeneral, "Check Connections", 0, &Options::check_connections},
    {kGeneral, "Host Interval", 0, &Options::host_interval},
    {kGeneral, "Check Pass Started", 0, &Options::check_pass_started},
    {kGeneral, "Confirm Single Deletes", OPT_CONFIRM_SINGLE_DELETES, nullptr},
    {kGeneral, "Confirm Multiple Deletes", OPT_CONFIRM_MULTIPLE_DELETES, nullptr},
};

// One key of the window layout: a field, or (without one) a list column's width.
struct LayoutKey {
    const char* key;
    int32_t Options::*field;
    int column;
};

const LayoutKey kLayoutKeys[] = {
    {"Col Width 0", nullptr, COLUMN_TITLE},      {"Col Width 1", nullptr, COLUMN_URL},
    {"Col Width 2", nullptr, COLUMN_STATUS},     {"Col Width 3", nullptr, COLUMN_ADDED},
    {"Col Width 4", nullptr, COLUMN_LAST_VISIT}, {"Frame X", &Options::frame_x, 0},
    {"Frame Y", &Options::frame_y, 0},           {"Frame Width", &Options::frame_width, 0},
    {"Frame Height", &Options::frame_height, 0},
};

// Numbers are kept as the file's 32-bit integers, whatever their sign.
void load_key(Options* options, const OptionKey& key) {
    int32_t value;
    if (!read_int_setting(key.section, key.key, &value)) return;
    if (key.flag) {
        options->option_flags = value ? options->option_flags | key.flag : options->option_flags & ~key.flag;
    } else {
        options->*key.field = static_cast<uint32_t>(value);
    }
}

void save_key(const Options* options, const OptionKey& key) {
    const uint32_t value = key.flag ? ((options->option_flags & key.flag) ? 1 : 0) : options->*key.field;
    write_int_setting(key.section, key.key, static_cast<int32_t>(value));
}

int32_t* layout_field(Options* options, const LayoutKey& key) {
    return key.field ? &(options->*key.field) : &options->column_width[key.column];
}

RECT work_area() {
    RECT area = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

int64_t max64(int64_t a, int64_t b) { return a > b ? a : b; }
int64_t min64(int64_t a, int64_t b) { return a < b ? a : b; }

}  // namespace

void init_settings_path() {
    choose_data_folder();
    char path[MAX_PATH];
    file_in_data_folder("lk.ini", path);
    set_settings_path(path);
    convert_ansi_settings();
}

void default_collection_path(char buffer[MAX_PATH]) { file_in_data_folder("lk.htm", buffer); }

bool is_first_run() {
    int32_t marker;
    if (read_int_setting(kGeneral, kFirstRun, &marker) && marker == 0) return false;
    write_int_setting(kGeneral, kFirstRun, 0);
    return true;
}

void import_legacy_settings() {
    char path[MAX_PATH];
    if (read_string_setting(kGeneral, kCollectionKey, path, sizeof path)) return;
    UniqueKey key;
    if (!open_registry_key(HKEY_CURRENT_USER, "Software\\Tessfold\\Ravozorizi\\Format 1\\", "Properties", &key)) {
        return;
    }
    // Written whatever the read gave: an empty key loads as the default path.
    read_registry_string(key.get(), "Ravozorizi File", path, sizeof path);
    write_string_setting(kGeneral, kCollectionKey, path);
}

void load_settings(Options* options) {
    options->option_flags = (options->option_flags | kDefaultFlagsSet) & ~kDefaultFlagsClear;
    options->check_interval = kDefaultCheckInterval;
    options->check_connections = CHECK_CONNECTIONS_DEFAULT;
    options->host_interval = HOST_INTERVAL_DEFAULT_SECONDS;
    options->check_pass_started = 0;
    for (int column = 0; column < LIST_COLUMN_COUNT; column++) {
        options->column_width[column] = default_column_width(column);
    }
    options->frame_x = options->frame_y = CW_USEDEFAULT;
    options->frame_width = options->frame_height = CW_USEDEFAULT;
    for (const OptionKey& key : kOptionKeys) load_key(options, key);
    for (const LayoutKey& key : kLayoutKeys) read_int_setting(kLayout, key.key, layout_field(options, key));
    char columns[128] = "";
    read_string_setting(kLayout, kColumnsKey, columns, sizeof columns);
    read_shown_columns(columns, options);
    if (!read_string_setting(kGeneral, kCollectionKey, options->collection_path, sizeof options->collection_path)) {
        default_collection_path(options->collection_path);
    }
    if (!read_string_setting(kGeneral, kArchiveServiceKey, options->archive_service, sizeof options->archive_service)) {
        snprintf(options->archive_service, sizeof options->archive_service, "%s", ARCHIVE_SERVICE_DEFAULT);
    }
    fit_frame_to_work_area(options);
    fit_columns_to_work_area(options);
    fit_check_limits(options);
    load_browser_profiles(&app_state->browser_link);
}

bool save_settings(Options* options) {
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (app_state->main_window && GetWindowPlacement(app_state->main_window, &placement)) {
        const RECT& normal = placement.rcNormalPosition;
        options->frame_x = normal.left;
        options->frame_y = normal.top;
        options->frame_width = normal.right - normal.left;
        options->frame_height = normal.bottom - normal.top;
    }
    for (const OptionKey& key : kOptionKeys) save_key(options, key);
    write_int_setting(kGeneral, "Version", static_cast<int32_t>(APP_VERSION));
    write_int_setting(kGeneral, "Build", static_cast<int32_t>(APP_BUILD_NUMBER));
    write_string_setting(kGeneral, kCollectionKey, options->collection_path);
    write_string_setting(kGeneral, kArchiveServiceKey, options->archive_service);
    for (const LayoutKey& key : kLayoutKeys) write_int_setting(kLayout, key.key, *layout_field(options, key));
    write_string_setting(kLayout, kColumnsKey, shown_columns_text(options).c_str());
    return save_browser_profiles(&app_state->browser_link);
}

void fit_check_limits(Options* options) {
    if (options->check_connections < 1 || options->check_connections > CHECK_CONNECTIONS_MAX) {
        options->check_connections = CHECK_CONNECTIONS_DEFAULT;
    }
    if (options->host_interval > kLongestHostInterval) options->host_interval = HOST_INTERVAL_DEFAULT_SECONDS;
}

void fit_frame_to_work_area(Options* options) {
    if (options->frame_width < kMinFrameWidth) options->frame_width = kMinFrameWidth;
    if (options->frame_height < kMinFrameHeight) options->frame_height = kMinFrameHeight;
    // 64-bit edges: a frame far off to the right must not wrap onto the screen.
    int64_t left = options->frame_x;
    int64_t top = options->frame_y;
    int64_t right = left + options->frame_width;
    int64_t bottom = top + options->frame_height;
    RECT area = work_area();
    bool meets = max64(left, area.left) < min64(right, area.right) && max64(top, area.top) < min64(bottom, area.bottom);
    if (!meets) {
        options->frame_x = options->frame_y = CW_USEDEFAULT;
        options->frame_width = options->frame_height = CW_USEDEFAULT;
    }
}

void fit_columns_to_work_area(Options* options) {
    RECT area = work_area();
    int64_t total = 0;
    for (int32_t width : options->column_width) total += width;
    if (total > area.right - area.left) {
        for (int column = 0; column < LIST_COLUMN_COUNT; column++) {
            options->column_width[column] = default_column_width(column);
        }
    }
}
