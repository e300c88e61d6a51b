// lktool duplicates: the groups of bookmarks that are the same page, one
// paragraph each with the bookmark that would be kept first, then the others
// in record order; a blank line between paragraphs.
#include <cstring>
#include <string>

#include "checker/host_ascii.h"
#include "collection/bookmark_reader.h"
#include "collection/collection.h"
#include "collection/duplicates.h"
#include "tools/lktool/arguments.h"
#include "tools/lktool/commands.h"

namespace {

void append_row(std::string* out, const Bookmark* b) {
    *out += b->url;
    *out += '\t';
    *out += b->title;
    *out += '\n';
}

}  // namespace

int run_duplicates_command(int argc, char** argv) {
    KeeperRule rule = KEEP_OLDEST;
    int i = 0;
    if (argc >= 2 && strcmp(argv[0], "--keep") == 0) {
        if (strcmp(argv[1], "newest") == 0) {
            rule = KEEP_NEWEST;
        } else if (strcmp(argv[1], "oldest") != 0) {
            return print_usage();
        }
        i = 2;
    }
    if (argc - i != 1 || strncmp(argv[i], "--", 2) == 0) return print_usage();

    // Read as the program reads its collection file at start-up.
    Collection collection = create_collection();
    if (!read_bookmark_file(&collection, argv[i], false, nullptr, nullptr)) {
        report_unreadable_file(argv[i]);
        free_collection(&collection);
        return 1;
    }
    std::string out;
    for (const DuplicateGroup& group : find_duplicates(collection.records, host_ascii)) {
        if (!out.empty()) out += '\n';
        const Bookmark* keeper = choose_keeper(group, rule);
        append_row(&out, keeper);
        for (const Bookmark* b : group) {
            if (b != keeper) append_row(&out, b);
        }
    }
    free_collection(&collection);
    return write_output(out.data(), out.size()) ? 0 : 1;
}
