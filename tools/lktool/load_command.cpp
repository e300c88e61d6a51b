// lktool load: reads bookmark files (Netscape and the program's own, Internet
// Shortcut files, Chromium `Bookmarks` files and Firefox `places.sqlite`
// databases, told apart by their content) into one empty collection, as the
// program reads them, tells on standard error what
// each file added, merged and skipped, and writes the collection file that
// saving it would write, in pieces as a save does.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "collection/bookmark_reader.h"
#include "collection/bookmark_source.h"
#include "collection/chromium_bookmarks.h"
#include "collection/collection.h"
#include "collection/collection_file.h"
#include "collection/firefox_places.h"
#include "collection/folder_tree_file.h"
#include "collection/import_report.h"
#include "collection/internet_shortcut.h"
#include "collection/store_bookmarks.h"
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

enum LoadResult { LOADED, UNREADABLE, STORE_FAILED };

// Reads one file into the collection. A browser's store that cannot be read
// adds nothing and leaves its reason.
LoadResult load_file(Collection* collection, const char* path, bool automatic, ImportReport* report,
                     std::string* failure) {
    char* text;
    uint32_t size;
    if (!load_bookmark_file(path, &text, &size)) return UNREADABLE;
    StoreRead store;
    const bool database = is_sqlite_database_text(text, size);
    const bool chromium = !database && is_chromium_bookmarks_text(text, size);
    if (database) store = read_firefox_places(path);
    if (chromium) store = read_chromium_bookmarks(text, size);
    if (!database && !chromium && !is_shortcut_file_name(path)) {
        read_bookmark_text(collection, text, automatic, nullptr, nullptr, report);
    } else {
        // A shortcut's title always gives its keywords, as in the Favorites import.
        BookmarkSink sink = open_bookmark_sink(collection, automatic || !(database || chromium), report);
        if (!(database || chromium)) {
            read_internet_shortcut(&sink, base_name(path), text);
        } else if (store.failure.empty()) {
            add_store_bookmarks(&sink, store);
        }
        close_bookmark_sink(&sink);
        *failure = store.failure;
    }
    free(text);
    return failure->empty() ? LOADED : STORE_FAILED;
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
    bool folders = false;  // the folder tree, for browsers, in place of the collection file
    bool clock_fixed = false;
    uint32_t seconds = 0;
    int i = 0;
    for (; i < argc && strncmp(argv[i], "--", 2) == 0; i += 2) {
        if (i + 1 >= argc) return print_usage();
        if (strcmp(argv[i], "--auto") == 0) {
            if (!parse_flag_argument(argv[i + 1], &automatic)) return print_usage();
        } else if (strcmp(argv[i], "--folders") == 0) {
            if (!parse_flag_argument(argv[i + 1], &folders)) return print_usage();
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
        std::string failure;
        const LoadResult result = load_file(&collection, argv[i], automatic, &report, &failure);
        if (result == LOADED) print_report(argv[i], &report);
        free_import_report(&report);
        if (result == UNREADABLE) report_unreadable_file(argv[i]);
        if (result == STORE_FAILED) fprintf(stderr, "%s: %s\n", argv[i], failure.c_str());
        if (result != LOADED) {
            status = 1;
            break;
        }
    }
    if (status == 0 && folders) {
        char* tree = build_folder_tree_text(collection.records);
        if (!write_output(tree, strlen(tree))) status = 1;
        free(tree);
    } else if (status == 0 && !write_collection_pieces(collection.records, write_piece, nullptr)) {
        status = 1;
    }
    free_collection(&collection);
    return status;
}
