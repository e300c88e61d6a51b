// lktool check [--wait SECONDS] URL...: probes each URL as the program's status
// checker does, one after the other, and prints the URL, a tab and the value:
// the date as a decimal number, -1 for a broken link, -2 when nothing is known.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "checker/check_url.h"
#include "checker/net.h"
#include "core/bookmark.h"
#include "core/version.h"
#include "tools/lktool/commands.h"

int run_check_command(int argc, char** argv) {
    // The program's own identity, so that servers answer lktool as they answer the program.
    char build[16];
    format_build_string(build, sizeof build);
    ProbeSettings settings = {APP_VERSION, build, PROBE_WAIT_SECONDS};
    int first = 0;
    if (argc >= 2 && strcmp(argv[0], "--wait") == 0) {
        settings.wait_seconds = static_cast<uint32_t>(strtoul(argv[1], nullptr, 10));
        first = 2;
    }
    if (first >= argc) return print_usage();
    if (!net_startup()) {
        fputs("lktool check: the socket layer cannot start\n", stderr);
        return 1;
    }
    for (int i = first; i < argc; i++) {
        uint32_t value = check_url(argv[i], &settings);
        if (value == DATE_BROKEN) {
            printf("%s\t-1\n", argv[i]);
        } else if (value == DATE_UNSET) {
            printf("%s\t-2\n", argv[i]);
        } else {
            printf("%s\t%u\n", argv[i], static_cast<unsigned>(value));
        }
        fflush(stdout);
    }
    net_cleanup();
    return 0;
}
