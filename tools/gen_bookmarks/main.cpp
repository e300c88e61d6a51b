// gen_bookmarks: writes a large, realistic Netscape-format bookmark file to
// standard output, the same bytes for the same count and seed.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tools/gen_bookmarks/bookmark_generator.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

bool parse_number(const char* text, unsigned long long* value) {
    if (text[0] < '0' || text[0] > '9') return false;
    char* end;
    *value = strtoull(text, &end, 10);
    return *end == '\0';
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    unsigned long long seed = 1;
    const char* count_text = nullptr;
    if (argc == 2) {
        count_text = argv[1];
    } else if (argc == 4 && strcmp(argv[1], "--seed") == 0 && parse_number(argv[2], &seed)) {
        count_text = argv[3];
    }
    unsigned long long count;
    if (!count_text || !parse_number(count_text, &count) || count > 10000000) {
        fputs("usage: gen_bookmarks [--seed N] COUNT\n", stderr);
        return 2;
    }
    const std::string text = generate_bookmark_file(static_cast<uint32_t>(count), seed);
    return fwrite(text.data(), 1, text.size(), stdout) == text.size() && fflush(stdout) == 0 ? 0 : 1;
}
