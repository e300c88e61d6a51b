// lktool browsers: lists the bookmark stores of the browsers found under the
// user's application data folders (or the folders given), one line each:
// browser, profile, file and the number of bookmarks, tab-separated. A store
// that cannot be read shows "-" there, and its reason on standard error.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "collection/browser_profiles.h"
#include "tools/lktool/commands.h"

namespace {

std::string environment_folder(const char* name) {
    const char* value = getenv(name);
    return value ? value : "";
}

}  // namespace

int run_browsers_command(int argc, char** argv) {
    std::string local = environment_folder("LOCALAPPDATA");
    std::string roaming = environment_folder("APPDATA");
    for (int i = 0; i < argc; i += 2) {
        if (i + 1 >= argc) return print_usage();
        if (strcmp(argv[i], "--local") == 0) {
            local = argv[i + 1];
        } else if (strcmp(argv[i], "--roaming") == 0) {
            roaming = argv[i + 1];
        } else {
            return print_usage();
        }
    }
    for (const BrowserStore& store : find_browser_stores(local, roaming)) {
        const StoreRead read = read_browser_store(store);
        const std::string count = read.failure.empty() ? std::to_string(read.bookmarks.size()) : "-";
        printf("%s\t%s\t%s\t%s\n", store.browser.c_str(), store.profile.c_str(), store.file.c_str(), count.c_str());
        if (!read.failure.empty()) {
            fprintf(stderr, "%s (%s): %s\n", store.browser.c_str(), store.profile.c_str(), read.failure.c_str());
        }
    }
    return fflush(stdout) == 0 ? 0 : 1;
}
