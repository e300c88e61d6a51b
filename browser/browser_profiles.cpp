// The two browser profiles: their "Browsers" keys and defaults, the registry's
// default browser and the App Paths lookup.
#include <cstdio>
#include <cstring>

#include "browser/browser_link.h"
#include "core/containers.h"
#include "platform/registry.h"
#include "platform/settings_file.h"

namespace {

const char kSection[] = "Browsers";
const char kSelectedKey[] = "Selected Browser";
const char kUrlDllKey[] = "Use URL.DLL";

const char* const kKeyPrefix[2] = {"Netscape", "IExplore"};
const char* const kExeName[2] = {"Netscape.exe", "IExplore.exe"};

// One text field of a profile; without one, the executable's path, which has
// no fixed default: it comes from App Paths.
struct ProfileKey {
    const char* word;
    char (BrowserProfile::*field)[BROWSER_TEXT_SIZE];
    const char* defaults[2];  // Netscape, IExplore
};

// In the order in which they are read and written.
const ProfileKey kProfileKeys[] = {
    {"Service Name", &BrowserProfile::service_name, {"Netscape", "IExplore"}},
    {"Exe Path", nullptr, {nullptr, nullptr}},
    {"Launch Arguments", &BrowserProfile::launch_args, {"-h", "-nohome"}},
    {"Get URL Topic", &BrowserProfile::get_url_topic, {"WWW_GetWindowInfo", "WWW_GetWindowInfo"}},
    {"Open URL Topic", &BrowserProfile::open_url_topic, {"WWW_OpenURL", "WWW_OpenURL"}},
    {"Open URL DDE Exec", &BrowserProfile::open_url_exec, {"%s", "\"%s\",,-1,,,,,"}},
    {"Version Topic", &BrowserProfile::version_topic, {"WWW_Version", "WWW_Version"}},
};

const size_t kServiceNameKey = 0;

char* field_text(BrowserProfile* profile, const ProfileKey& key) {
    return key.field ? profile->*key.field : profile->exe_path;
}

const char* field_text(const BrowserProfile* profile, const ProfileKey& key) {
    return key.field ? profile->*key.field : profile->exe_path;
}

uint32_t field_size(const ProfileKey& key) { return key.field ? BROWSER_TEXT_SIZE : MAX_PATH; }

void full_key(char* buffer, size_t size, uint32_t browser, const ProfileKey& key) {
    snprintf(buffer, size, "%s - %s", kKeyPrefix[browser], key.word);
}

void load_profile(BrowserProfile* profile, uint32_t browser) {
    profile->browser_id = browser;
    for (size_t i = 0; i < sizeof kProfileKeys / sizeof kProfileKeys[0]; i++) {
        const ProfileKey& key = kProfileKeys[i];
        char name[64];
        full_key(name, sizeof name, browser, key);
        char* text = field_text(profile, key);
        if (!read_string_setting(kSection, name, text, field_size(key))) {
            if (!key.field) {
                text[0] = '\0';
                find_app_path(kExeName[browser], text);
            } else {
                snprintf(text, BROWSER_TEXT_SIZE, "%s", key.defaults[browser]);
            }
        }
        if (i == kServiceNameKey) {
            close_handle(&profile->service_handle, DdeStringPolicy{dde_instance});
            profile->service_handle = DdeCreateStringHandleA(dde_instance, text, CP_WINANSI);
        }
    }
}

bool save_profile(const BrowserProfile* profile, uint32_t browser) {
    for (const ProfileKey& key : kProfileKeys) {
        char name[64];
        full_key(name, sizeof name, browser, key);
        if (!write_string_setting(kSection, name, field_text(profile, key))) return false;
    }
    return true;
}

// The default value of a key under HKEY_LOCAL_MACHINE, opened for reading only.
bool read_machine_default(const char* path, char* buffer, DWORD size) {
    UniqueKey key;
    return open_registry_key(HKEY_LOCAL_MACHINE, path, nullptr, &key) &&
           read_registry_string(key.get(), nullptr, buffer, size);
}

}  // namespace

void load_browser_profiles(BrowserLink* link) {
    int32_t value;
    uint32_t selected =
        read_int_setting(kSection, kSelectedKey, &value) ? static_cast<uint32_t>(value) : BROWSER_UNKNOWN;
    if (selected == BROWSER_NETSCAPE || selected == BROWSER_IEXPLORE || selected == BROWSER_AUTOMATIC) {
        link->selected_browser = selected;
    } else {
        uint32_t detected = detect_default_browser();
        link->selected_browser = detected == BROWSER_UNKNOWN ? BROWSER_NETSCAPE : detected;
    }
    int32_t url_dll = 0;
    read_int_setting(kSection, kUrlDllKey, &url_dll);
    link->use_url_dll = url_dll != 0;
    load_profile(&link->profiles[BROWSER_NETSCAPE], BROWSER_NETSCAPE);
    load_profile(&link->profiles[BROWSER_IEXPLORE], BROWSER_IEXPLORE);
}

bool save_browser_profiles(const BrowserLink* link) {
    return write_int_setting(kSection, kSelectedKey, static_cast<int32_t>(link->selected_browser)) &&
           write_int_setting(kSection, kUrlDllKey, link->use_url_dll ? 1 : 0) &&
           save_profile(&link->profiles[BROWSER_NETSCAPE], BROWSER_NETSCAPE) &&
           save_profile(&link->profiles[BROWSER_IEXPLORE], BROWSER_IEXPLORE);
}

uint32_t detect_default_browser() {
    char application[256] = "";
    if (!read_machine_default("SOFTWARE\\classes\\http\\shell\\open\\ddeexec\\Application", application,
                              sizeof application)) {
        return BROWSER_UNKNOWN;
    }
    if (str_compare_nocase(application, "Netscape") == 0) return BROWSER_NETSCAPE;
    if (str_compare_nocase(application, "IExplore") == 0) return BROWSER_IEXPLORE;
    return BROWSER_UNKNOWN;
}

const BrowserProfile* active_profile(const BrowserLink* link) {
    uint32_t browser = link->selected_browser;
    if (browser != BROWSER_NETSCAPE && browser != BROWSER_IEXPLORE) {
        browser = detect_default_browser();
        if (browser == BROWSER_UNKNOWN) browser = BROWSER_NETSCAPE;
    }
    return &link->profiles[browser];
}

bool find_app_path(const char* exe_name, char path[MAX_PATH]) {
    char key[300];
    snprintf(key, sizeof key, "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\%s", exe_name);
    char found[MAX_PATH];
    if (!read_machine_default(key, found, sizeof found)) return false;
    memcpy(path, found, sizeof found);
    return true;
}
