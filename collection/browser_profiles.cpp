// Browsers' profile folders: where each browser keeps them, which profiles
// its own lists name (Chromium's `Local State`, Firefox's `profiles.ini` and
// `installs.ini`), and which bookmark stores are in them.
#include "collection/browser_profiles.h"

#include <cstdlib>
#include <cstring>
#include <utility>

#include "collection/chromium_bookmarks.h"
#include "collection/firefox_places.h"
#include "core/containers.h"
#include "core/whole_file.h"
#include "rapidjson/document.h"

namespace {

struct KnownBrowser {
    const char* name;
    const char* folder;  // below the application data folder, '/' between names
};

const KnownBrowser kLocalBrowsers[] = {
    {"Chrome", "Google/Chrome/User Data"},
    {"Chrome Beta", "Google/Chrome Beta/User Data"},
    {"Chrome Dev", "Google/Chrome Dev/User Data"},
    {"Chrome Canary", "Google/Chrome SxS/User Data"},
    {"Edge", "Microsoft/Edge/User Data"},
    {"Edge Beta", "Microsoft/Edge Beta/User Data"},
    {"Edge Dev", "Microsoft/Edge Dev/User Data"},
    {"Edge Canary", "Microsoft/Edge SxS/User Data"},
    {"Brave", "BraveSoftware/Brave-Browser/User Data"},
    {"Vivaldi", "Vivaldi/User Data"},
    {"Chromium", "Chromium/User Data"},
};

// Opera keeps its profile in the roaming folder, without "User Data"; newer
// versions put it into a `Default` folder, older ones right there.
const KnownBrowser kRoamingBrowsers[] = {
    {"Opera", "Opera Software/Opera Stable"},
    {"Opera GX", "Opera Software/Opera GX Stable"},
};

const char kFirefoxFolder[] = "Mozilla/Firefox";

// Joins a relative path ('/' between names) to a folder with the folder's
// own separator: a backslash in Windows paths, a slash elsewhere.
std::string join_path(const std::string& folder, const char* relative) {
    const char separator = folder.find('\\') != std::string::npos ? '\\' : '/';
    std::string path = folder;
    if (!path.empty() && path.back() != '\\' && path.back() != '/') path += separator;
    for (const char* p = relative; *p; p++) path += *p == '/' || *p == '\\' ? separator : *p;
    return path;
}

bool read_text(const std::string& path, std::string* text) {
    char* bytes;
    uint32_t size;
    if (!read_whole_file(path.c_str(), &bytes, &size)) return false;
    text->assign(bytes, size);
    free(bytes);
    return true;
}

// The profile folders `Local State` names, with their names, in its order;
// `Default` besides, which a browser that never wrote the list uses.
std::vector<std::pair<std::string, std::string>> chromium_profiles(const std::string& user_data) {
    std::vector<std::pair<std::string, std::string>> profiles;  // folder, name
    std::string text;
    rapidjson::Document state;
    if (read_text(join_path(user_data, "Local State"), &text) &&
        !state.Parse<rapidjson::kParseIterativeFlag>(text.c_str(), text.size()).HasParseError() && state.IsObject()) {
        auto profile = state.FindMember("profile");
        if (profile != state.MemberEnd() && profile->value.IsObject()) {
            auto cache = profile->value.FindMember("info_cache");
            if (cache != profile->value.MemberEnd() && cache->value.IsObject()) {
                for (const auto& entry : cache->value.GetObject()) {
                    const std::string folder(entry.name.GetString(), entry.name.GetStringLength());
                    // A name that leaves the folder is none of the browser's.
                    if (folder.empty() || folder.find_first_of("/\\:") != std::string::npos || folder == "..") continue;
                    std::string name = folder;
                    if (entry.value.IsObject()) {
                        auto shown = entry.value.FindMember("name");
                        if (shown != entry.value.MemberEnd() && shown->value.IsString()) {
                            name.assign(shown->value.GetString(), shown->value.GetStringLength());
                        }
                    }
                    profiles.emplace_back(folder, repaired_utf8(name));
                }
            }
        }
    }
    bool has_default = false;
    for (const auto& p : profiles) has_default = has_default || p.first == "Default";
    if (!has_default) profiles.emplace_back("Default", "Default");
    return profiles;
}

void add_store(std::vector<BrowserStore>* stores, const char* browser, const std::string& profile,
               const std::string& file, StoreKind kind, const char* problem = "") {
    stores->push_back(BrowserStore{browser, profile, file, kind, problem});
}

// The stores of one Chromium profile folder.
void add_chromium_profile(std::vector<BrowserStore>* stores, const char* browser, const std::string& folder,
                          const std::string& name) {
    const std::string bookmarks = join_path(folder, "Bookmarks");
    const std::string account = join_path(folder, "AccountBookmarks");
    if (file_exists(bookmarks.c_str())) add_store(stores, browser, name, bookmarks, STORE_CHROMIUM);
    if (file_exists(account.c_str())) add_store(stores, browser, name, account, STORE_CHROMIUM);
    if (file_exists(bookmarks.c_str()) || file_exists(account.c_str())) return;
    for (const char* encrypted : {"EncryptedBookmarks2", "EncryptedAccountBookmarks2"}) {
        const std::string file = join_path(folder, encrypted);
        if (file_exists(file.c_str())) {
            add_store(stores, browser, name, file, STORE_CHROMIUM, "the browser keeps its bookmarks only encrypted");
            return;
        }
    }
}

void add_chromium_browser(std::vector<BrowserStore>* stores, const KnownBrowser& browser, const std::string& base,
                          bool profile_at_top) {
    const std::string user_data = join_path(base, browser.folder);
    for (const auto& profile : chromium_profiles(user_data)) {
        add_chromium_profile(stores, browser.name, join_path(user_data, profile.first.c_str()), profile.second);
    }
    if (profile_at_top) add_chromium_profile(stores, browser.name, user_data, "Default");
}

// An INI file as Firefox writes it: [sections] of key=value lines.
struct IniSection {
    std::string name;
    std::vector<std::pair<std::string, std::string>> values;
};

std::string trimmed(const std::string& text) {
    const size_t start = text.find_first_not_of(" \t\r");
    if (start == std::string::npos) return std::string();
    return text.substr(start, text.find_last_not_of(" \t\r") + 1 - start);
}

std::vector<IniSection> read_ini(const std::string& path) {
    std::vector<IniSection> sections;
    std::string text;
    if (!read_text(path, &text)) return sections;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = trimmed(text.substr(start, end - start));
        start = end + 1;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            sections.push_back(IniSection{line.substr(1, line.size() - 2), {}});
        } else if (!sections.empty() && line.find('=') != std::string::npos && line[0] != ';' && line[0] != '#') {
            const size_t equals = line.find('=');
            sections.back().values.emplace_back(trimmed(line.substr(0, equals)), trimmed(line.substr(equals + 1)));
        }
    }
    return sections;
}

const IniSection* ini_section(const std::vector<IniSection>& ini, const std::string& name) {
    for (const IniSection& section : ini) {
        if (str_compare_nocase(section.name.c_str(), name.c_str()) == 0) return &section;
    }
    return nullptr;
}

std::string ini_value(const IniSection& section, const char* key) {
    for (const auto& value : section.values) {
        if (str_compare_nocase(value.first.c_str(), key) == 0) return value.second;
    }
    return std::string();
}

struct FirefoxProfile {
    std::string name;
    std::string path;  // as profiles.ini writes it
    bool relative;
    bool is_default;
};

// The stores of the profiles a Firefox folder's `profiles.ini` lists.
void add_firefox(std::vector<BrowserStore>* stores, const std::string& folder) {
    const std::vector<IniSection> profiles_ini = read_ini(join_path(folder, "profiles.ini"));
    std::vector<FirefoxProfile> profiles;
    // Firefox stops at the first number missing, and so does this.
    for (unsigned n = 0;; n++) {
        const IniSection* section = ini_section(profiles_ini, "Profile" + std::to_string(n));
        if (!section) break;
        profiles.push_back(FirefoxProfile{ini_value(*section, "Name"), ini_value(*section, "Path"),
                                          ini_value(*section, "IsRelative") == "1",
                                          ini_value(*section, "Default") == "1"});
    }
    // Each install's default first: installs.ini, and the same in
    // profiles.ini's [Install...] sections; then the old default mark.
    std::vector<std::string> defaults;
    for (const IniSection& section : read_ini(join_path(folder, "installs.ini"))) {
        defaults.push_back(ini_value(section, "Default"));
    }
    for (const IniSection& section : profiles_ini) {
        if (str_compare_nocase(section.name.substr(0, 7).c_str(), "Install") == 0) {
            defaults.push_back(ini_value(section, "Default"));
        }
    }
    std::vector<const FirefoxProfile*> order;
    for (const std::string& path : defaults) {
        for (const FirefoxProfile& p : profiles) {
            if (p.path == path) order.push_back(&p);
        }
    }
    for (const FirefoxProfile& p : profiles) {
        if (p.is_default) order.push_back(&p);
    }
    for (const FirefoxProfile& p : profiles) order.push_back(&p);
    std::vector<const FirefoxProfile*> listed;
    for (const FirefoxProfile* p : order) {
        bool seen = p->path.empty();
        for (const FirefoxProfile* q : listed) seen = seen || q == p;
        if (seen) continue;
        listed.push_back(p);
        const std::string profile_folder = p->relative ? join_path(folder, p->path.c_str()) : p->path;
        const std::string places = join_path(profile_folder, "places.sqlite");
        if (file_exists(places.c_str())) add_store(stores, "Firefox", repaired_utf8(p->name), places, STORE_FIREFOX);
    }
}

}  // namespace

std::vector<BrowserStore> find_browser_stores(const std::string& local_app_data, const std::string& roaming_app_data) {
    std::vector<BrowserStore> stores;
    if (!local_app_data.empty()) {
        for (const KnownBrowser& browser : kLocalBrowsers)
            add_chromium_browser(&stores, browser, local_app_data, false);
    }
    if (!roaming_app_data.empty()) {
        for (const KnownBrowser& browser : kRoamingBrowsers) {
            add_chromium_browser(&stores, browser, roaming_app_data, true);
        }
        add_firefox(&stores, join_path(roaming_app_data, kFirefoxFolder));
    }
    return stores;
}

std::vector<BrowserStore> find_stores_in_folder(const std::string& folder) {
    std::vector<BrowserStore> stores;
    std::string name = folder;
    while (!name.empty() && (name.back() == '\\' || name.back() == '/')) name.pop_back();
    name = repaired_utf8(name.substr(name.find_last_of("\\/:") + 1));
    if (file_exists(join_path(folder, "Local State").c_str())) {
        for (const auto& profile : chromium_profiles(folder)) {
            add_chromium_profile(&stores, "Chromium", join_path(folder, profile.first.c_str()), profile.second);
        }
    }
    if (file_exists(join_path(folder, "profiles.ini").c_str())) add_firefox(&stores, folder);
    add_chromium_profile(&stores, "Chromium", folder, name);
    const std::string places = join_path(folder, "places.sqlite");
    if (file_exists(places.c_str())) add_store(&stores, "Firefox", name, places, STORE_FIREFOX);
    return stores;
}

StoreRead read_browser_store(const BrowserStore& store) {
    if (!store.problem.empty()) {
        StoreRead read;
        read.failure = store.problem;
        return read;
    }
    return store.kind == STORE_FIREFOX ? read_firefox_places(store.file.c_str())
                                       : read_chromium_bookmarks_file(store.file.c_str());
}
