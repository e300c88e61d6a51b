// lktool words: the words of a collection's keyword index, one per line,
// either exactly as indexed or in the Keyword Dictionary's folded view.
#include <cstdlib>
#include <cstring>
#include <string>

#include "collection/bookmark_reader.h"
#include "collection/collection.h"
#include "search/keyword_index.h"
#include "tools/lktool/arguments.h"
#include "tools/lktool/commands.h"

namespace {

// The Keyword Dictionary's rows are cut to this many bytes when folded.
const size_t kFoldedWordLength = 255;

// Lower case, one row per word without regard to case, sorted.
std::string folded_word_list(const PtrVector* words) {
    PtrVector* folded = fold_word_list(words, kFoldedWordLength);
    std::string out;
    for (uint32_t i = 0; i < folded->count; i++) {
        out += static_cast<const char*>(folded->items[i]);
        out += '\n';
        free(folded->items[i]);
    }
    vec_destroy(folded);
    return out;
}

std::string exact_word_list(const PtrVector* words) {
    std::string out;
    for (uint32_t i = 0; i < words->count; i++) {
        out += static_cast<const char*>(words->items[i]);
        out += '\n';
    }
    return out;
}

}  // namespace

int run_words_command(int argc, char** argv) {
    bool case_sensitive = false;
    int i = 0;
    for (; i < argc && strncmp(argv[i], "--", 2) == 0; i += 2) {
        if (i + 1 >= argc || strcmp(argv[i], "--case") != 0 || !parse_flag_argument(argv[i + 1], &case_sensitive)) {
            return print_usage();
        }
    }
    if (argc - i != 1) return print_usage();

    // Read as the program reads its collection file at start-up.
    Collection collection = create_collection();
    int status = 0;
    if (read_bookmark_file(&collection, argv[i], false, nullptr, nullptr)) {
        PtrVector* words = list_index_words(collection.keyword_index);
        std::string out = case_sensitive ? exact_word_list(words) : folded_word_list(words);
        vec_destroy(words);
        if (!write_output(out.data(), out.size())) status = 1;
    } else {
        report_unreadable_file(argv[i]);
        status = 1;
    }
    free_collection(&collection);
    return status;
}
