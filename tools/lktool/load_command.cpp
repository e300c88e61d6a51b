// lktool load: reads bookmark files into one empty collection, as the program
// reads them, and writes the collection file that saving it would write.
#include <cstdlib>
#include <cstring>

#include "collection/bookmark_reader.h"
#include "collection/collection.h"
#include "collection/collection_file.h"
#include "tools/lktool/arguments.h"
#include "tools/lktool/commands.h"

int run_load_command(int argc, char** argv) {
    bool automatic = true;
    bool clock_fixed = false;
    uint32_t seconds = 0;
    int i = 0;
    for (; i < argc && strncmp(argv[i], "--", 2) == 0; i += 2) {
        if (i + 1 >= argc) return print_usage();
        if (strcmp(argv[i], "--auto") == 0) {
            if (!parse_flag_argument(argv[i + 1], &automatic)) return print_usage();
        } else if (strcmp(argv[i], "--now") == 0) {
            if (!parse_seconds_argument(argv[i + 1], &seconds)) return print_usage();
            clock_fixed = true;
        } else {
            return print_usage();
        }
    }
    if (i == argc) return print_usage();
    Collection collection = create_collection();
    if (clock_fixed) set_fixed_clock(&collection, seconds);
    int status = 0;
    for (; i < argc; i++) {
        if (!read_bookmark_file(&collection, argv[i], automatic, nullptr, nullptr)) {
            report_unreadable_file(argv[i]);
            status = 1;
            break;
        }
    }
    if (status == 0) {
        char* text = build_collection_text(collection.records);
        if (!write_output(text, strlen(text))) status = 1;
        free(text);
    }
    free_collection(&collection);
    return status;
}
