// The words that automatic keywords never include.
#include "search/stop_words.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "collection/containers.h"
#include "search/keyword_index.h"
#include "search/words.h"

namespace {

const char kStopWords[] =
    "a about as src welcome latest an and by com for from ftp had have has home in of on page pub "
    "the then to txt with site www http my it sites our includes you there their real well links "
    "related what new include list want other others up date top that its just most take takes";

// The longest stop word's length: most words of a title are longer, and
// need no look-up at all.
constexpr size_t longest_word(const char* list) {
    size_t longest = 0;
    size_t length = 0;
    for (const char* p = list;; p++) {
        if (*p == ' ' || *p == '\0') {
            if (length > longest) longest = length;
            length = 0;
            if (*p == '\0') return longest;
        } else {
            length++;
        }
    }
}

constexpr size_t kLongestStopWord = longest_word(kStopWords);

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
    if (strnlen(word, kLongestStopWord + 1) > kLongestStopWord) return false;
    return table_find(index->stop_word_table, hash_text_nocase(word), word, compare_nocase) != nullptr;
}
