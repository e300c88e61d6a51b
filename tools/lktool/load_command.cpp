// lktool load: reads bookmark files (and Internet Shortcut files) into one
// empty collection, as the program reads them, tells on standard error what
// each file added, merged and skipped, and writes the collection file that
// saving it would write, in pieces as a save does.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "collection/bookmark_reader.h"
#include "collection/bookmark_source.h"
#include "collection/collection.h"
#include "collection/collection_file.h"
#include "collection/import_report.h"
#include "collection/internet_shortcut.h"
#include "tools/lktool/arguments.h"
#include "tools/lktool/commands.h"

namespace {

// The file's name without its folders: a shortcut's title.
const char* base_name(const char* path) {
    const char* name = path;
    for (const char* p = path; *p; p++) {
        if (*p == '/' || *p == '\\') name = p + 1;
    }
    return name;
}

// Reads one file into the collection; false when it cannot be read.
bool load_file(Collection* collection, const char* path, bool automatic, ImportReport* report) {
    if (!is_shortcut_file_name(path)) return read_bookmark_file(collection, path, automatic, nullptr, nullptr, report);
    char* text;
    uint32_t size;
    if (!load_bookmark_file(path, &text, &size)) return false;
    // A shortcut's title always gives its keywords, as in the Favorites import.
    BookmarkSink sink = open_bookmark_sink(collection, true, report);
    read_internet_shortcut(&sink, base_name(path), text);
    close_bookmark_sink(&sink);
    free(text);
    return true;
}

// "FILE: N added, M merged, K skipped", then each reason indented.
void print_report(const char* path, const ImportReport* report) {
    char* counts = import_counts_text(report);
    fprintf(stderr, "%s: %s\n", path, counts);
    free(counts);
    const char* reasons = tb_text(report->reasons);
    while (*reasons) {
        const size_t length = strcspn(reasons, "\n");
        fprintf(stderr, "  %.*s\n", static_cast<int>(length), reasons);
        reasons += length + (reasons[length] ? 1 : 0);
    }
}

bool write_piece(const char* bytes, size_t length, void*) { return write_output(bytes, length); }

}  // namespace

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
        ImportReport report = create_import_report();
        const bool read = load_file(&collection, argv[i], automatic, &report);
        if (read) print_report(argv[i], &report);
        free_import_report(&report);
        if (!read) {
            report_unreadable_file(argv[i]);
            status = 1;
            break;
        }
    }
    if (status == 0 && !write_collection_pieces(collection.records, write_piece, nullptr)) status = 1;
    free_collection(&collection);
    return status;
}
