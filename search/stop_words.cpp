// The words that automatic keywords never include.
#include "search/stop_words.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "core/containers.h"
#include "search/keyword_index.h"
#include "search/words.h"

namespace {

constexpr char kStopWords[] =
    "a about as src welcome latest an and by com for from ftp had have has home in of on page pub "
    "the then to txt with site www http my it sites our includes you there their real well links "
    "related what new include list want other others up date top that its just most take takes";

// Which first letters the stop words of each length have, one bit per letter
// a-z: most words of a title are ruled out by their length and first letter
// without hashing them.
struct StopWordShapes {
    static const size_t kLongest = 16;
    uint32_t first_letters[kLongest + 1];
    size_t longest;  // of the listed words, checked against kLongest below
    constexpr explicit StopWordShapes(const char* list) : first_letters(), longest(0) {
        size_t length = 0;
        char first = 0;
        for (const char* p = list;; p++) {
            if (*p == ' ' || *p == '\0') {
                if (length > longest) longest = length;
                if (length > 0 && length <= kLongest) first_letters[length] |= letter_bit(first);
                length = 0;
                if (*p == '\0') return;
            } else {
                if (length == 0) first = *p;
                length++;
            }
        }
    }
    // Only letters start a stop word.
    static constexpr uint32_t letter_bit(char c) { return is_ascii_letter(c) ? 1u << (fold_ascii(c) - 'a') : 0u; }
    bool may_hold(const char* word) const {
        const size_t length = strnlen(word, kLongest + 1);
        return length <= kLongest && (first_letters[length] & letter_bit(word[0])) != 0;
    }
};

constexpr StopWordShapes kShapes(kStopWords);
static_assert(kShapes.longest <= StopWordShapes::kLongest, "a longer stop word would never be recognised");

int compare_nocase(const void* element, const void* key) {
    return str_compare_nocase(static_cast<const char*>(element), static_cast<const char*>(key));
}

void add_stop_word(const char* word, void* context) {
    PtrVector* list = static_cast<PtrVector*>(context);
    char* copy = str_dup(word);
    if (vec_insert_sorted(list, copy, compare_nocase)) free(copy);
}

}  // namespace

PtrVector* create_stop_word_list() {
    PtrVector* list = vec_create();
    split_words(kStopWords, add_stop_word, list);
    return list;
}

void free_stop_word_list(PtrVector* list) {
    for (uint32_t i = 0; i < list->count; i++) free(list->items[i]);
    vec_destroy(list);
}

PtrTable* create_stop_word_table(const PtrVector* list) {
    PtrTable* table = table_create();
    for (uint32_t i = 0; i < list->count; i++) {
        table_insert(table, hash_text_nocase(static_cast<const char*>(list->items[i])), list->items[i]);
    }
    return table;
}

bool is_stop_word(const KeywordIndex* index, const char* word) {
    if (!kShapes.may_hold(word)) return false;
    return table_find(index->stop_word_table, hash_text_nocase(word), word, compare_nocase) != nullptr;
}
