// lktool check [--wait SECONDS] [--jobs N] [--host-interval SECONDS] URL...:
// probes the URLs as the program's status checker does, several at once but
// one at a time per site, and prints in the order given each URL, a tab and
// the value: the date as a decimal number, -1 for a broken link, -2 when
// nothing is known.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

#include "checker/check_url.h"
#include "checker/net.h"
#include "checker/scheduler.h"
#include "core/bookmark.h"
#include "core/version.h"
#include "tools/lktool/commands.h"

namespace {

void print_value(const char* url, uint32_t value) {
    if (value == DATE_BROKEN) {
        printf("%s\t-1\n", url);
    } else if (value == DATE_UNSET) {
        printf("%s\t-2\n", url);
    } else {
        printf("%s\t%u\n", url, static_cast<unsigned>(value));
    }
    fflush(stdout);
}

std::string url_key(const char* url) {
    std::string key(url);
    for (char& c : key) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return key;
}

}  // namespace

int run_check_command(int argc, char** argv) {
    // The program's own identity, so that servers answer lktool as they answer the program.
    char build[16];
    format_build_string(build, sizeof build);
    CheckerSettings settings = {CHECK_CONNECTIONS_DEFAULT,
                                HOST_INTERVAL_DEFAULT_MS,
                                {APP_VERSION, build, PROBE_WAIT_SECONDS},
                                probe_url,
                                nullptr,
                                nullptr};
    int first = 0;
    for (; first + 1 < argc && strncmp(argv[first], "--", 2) == 0; first += 2) {
        const char* value = argv[first + 1];
        if (strcmp(argv[first], "--wait") == 0) {
            settings.probe.wait_seconds = static_cast<uint32_t>(strtoul(value, nullptr, 10));
        } else if (strcmp(argv[first], "--jobs") == 0) {
            settings.connections = static_cast<uint32_t>(strtoul(value, nullptr, 10));
        } else if (strcmp(argv[first], "--host-interval") == 0) {
            settings.host_interval_ms = static_cast<uint32_t>(strtod(value, nullptr) * 1000 + 0.5);
        } else {
            return print_usage();
        }
    }
    if (first >= argc || settings.connections < 1 || settings.connections > CHECK_CONNECTIONS_MAX) {
        return print_usage();
    }
    if (!net_startup()) {
        fputs("lktool check: the socket layer cannot start\n", stderr);
        return 1;
    }
    Checker* checker = checker_create(&settings);
    checker_begin_pass(checker);
    for (int i = first; i < argc; i++) checker_add(checker, argv[i]);
    // Results arrive as probes end; they are printed in the order given.
    std::unordered_map<std::string, uint32_t> values;
    std::vector<CheckDone> done;
    for (int next = first; next < argc;) {
        checker_wait(checker, 1000);
        done.clear();
        checker_take(checker, &done);
        for (CheckDone& d : done) {
            values[url_key(d.url)] = d.result.value;
            free_check_done(&d);
        }
        for (auto found = values.find(url_key(argv[next])); found != values.end();
             found = next < argc ? values.find(url_key(argv[next])) : values.end()) {
            print_value(argv[next++], found->second);
        }
    }
    checker_destroy(checker);
    net_cleanup();
    return 0;
}
