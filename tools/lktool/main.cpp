// lktool: the command-line companion over the program's core. It searches,
// converts and checks collections from a terminal or a script.
#include <cstdio>
#include <cstring>

#include "core/version.h"
#include "tools/lktool/commands.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

int print_usage() {
    fputs("usage:\n", stderr);
    for (const LktoolCommand* c = lktool_commands; c->name; c++) {
        fprintf(stderr, "  lktool %s %s\n", c->name, c->usage);
    }
    fputs("  lktool --version\n", stderr);
    return 2;
}

int main(int argc, char** argv) {
#ifdef _WIN32
    // Output is the collection's bytes: keep CRLF as written, no translation.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    if (argc < 2) return print_usage();
    if (strcmp(argv[1], "--version") == 0) {
        puts("lktool " LK_VERSION_TEXT " build " LK_BUILD_TEXT);
        return 0;
    }
    for (const LktoolCommand* c = lktool_commands; c->name; c++) {
        if (strcmp(argv[1], c->name) == 0) return c->run(argc - 2, argv + 2);
    }
    return print_usage();
}
