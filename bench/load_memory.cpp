// load_memory: loads bookmark files into one collection as the program does,
// saves it, and reports the times and the process's peak memory, for the
// figures that a benchmark framework cannot give (peak resident size). The
// processor time beside the wall time shows what a busy machine hides.
//   load_memory FILE... [--save OUT]
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstring>

#include "collection/bookmark_reader.h"
#include "collection/collection.h"
#include "collection/collection_file.h"

namespace {

long peak_kilobytes() {
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

double seconds_since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// User and system time of the process so far.
double processor_seconds() {
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    const char* save_path = nullptr;
    if (argc >= 3 && strcmp(argv[argc - 2], "--save") == 0) {
        save_path = argv[argc - 1];
        argc -= 2;
    }
    if (argc < 2) {
        fputs("usage: load_memory FILE... [--save OUT]\n", stderr);
        return 2;
    }
    printf("peak before loading: %ld KB\n", peak_kilobytes());
    Collection collection = create_collection();
    auto start = std::chrono::steady_clock::now();
    double processor_start = processor_seconds();
    for (int i = 1; i < argc; i++) {
        if (!read_bookmark_file(&collection, argv[i], true, nullptr, nullptr)) {
            fprintf(stderr, "cannot read %s\n", argv[i]);
            return 1;
        }
    }
    printf("load: %u bookmarks in %.3f s (processor %.3f s), peak %ld KB\n", collection.records->count,
           seconds_since(start), processor_seconds() - processor_start, peak_kilobytes());
    if (save_path) {
        start = std::chrono::steady_clock::now();
        processor_start = processor_seconds();
        const bool saved = save_collection(&collection, save_path, false);
        printf("save: %s in %.3f s (processor %.3f s), peak %ld KB\n", saved ? "written" : "FAILED",
               seconds_since(start), processor_seconds() - processor_start, peak_kilobytes());
    }
    free_collection(&collection);
    return 0;
}
