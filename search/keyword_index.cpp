// The keyword index. Entries are kept in byte order of their words so that the
// search can scan prefixes; record lists are kept in record identity order so
// that the search can merge them with the collection in linear time.
#include "search/keyword_index.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "collection/bookmark.h"
#include "collection/collection.h"
#include "search/stop_words.h"
#include "search/words.h"

namespace {

// Compares an entry with a word (the key is the word itself).
int compare_entry_word(const void* element, const void* key) {
    return strcmp(static_cast<const WordEntry*>(element)->word, static_cast<const char*>(key));
}

WordEntry* new_word_entry(const char* word) {
    size_t length = strlen(word);
    WordEntry* entry = static_cast<WordEntry*>(malloc(offsetof(WordEntry, word) + length + 1));
    entry->records = vec_create();
    memcpy(entry->word, word, length + 1);
    return entry;
}

void free_word_entry(WordEntry* entry) {
    vec_destroy(entry->records);
    free(entry);
}

// Takes the record out of every entry of the set, dropping entries left empty.
void unlink_record(KeywordIndex* index, Bookmark* record, const KeywordSet* set) {
    for (uint32_t i = 0; i < set->entries->count; i++) {
        WordEntry* entry = static_cast<WordEntry*>(set->entries->items[i]);
        uint32_t position;
        if (vec_search(entry->records, record, compare_record_identity, &position) &&
            entry->records->items[position] == record) {
            vec_remove_at(entry->records, position);
        }
        if (entry->records->count == 0) {
            if (vec_search(index->entries, entry->word, compare_entry_word, &position)) {
                vec_remove_at(index->entries, position);
            }
            free_word_entry(entry);
        }
    }
}

struct LinkContext {
    KeywordIndex* index;
    Bookmark* record;
    KeywordSet* set;
};

void link_word(const char* word, void* context) {
    LinkContext* link = static_cast<LinkContext*>(context);
    uint32_t position;
    WordEntry* entry;
    if (vec_search(link->index->entries, word, compare_entry_word, &position)) {
        entry = static_cast<WordEntry*>(link->index->entries->items[position]);
    } else {
        entry = new_word_entry(word);
        vec_insert_at(link->index->entries, position, entry);
    }
    // Already there: the word occurred earlier in the same text.
    if (insert_in_identity_order(entry->records, link->record)) return;
    vec_append(link->set->entries, entry);
}

}  // namespace

KeywordIndex* create_keyword_index() {
    KeywordIndex* index = static_cast<KeywordIndex*>(malloc(sizeof(KeywordIndex)));
    index->entries = vec_create();
    index->stop_words = create_stop_word_list();
    return index;
}

void destroy_keyword_index(KeywordIndex* index) {
    for (uint32_t i = 0; i < index->entries->count; i++) {
        free_word_entry(static_cast<WordEntry*>(index->entries->items[i]));
    }
    vec_destroy(index->entries);
    free_stop_word_list(index->stop_words);
    free(index);
}

WordEntry* find_word_entry(const KeywordIndex* index, const char* word) {
    uint32_t position;
    if (!vec_search(index->entries, word, compare_entry_word, &position)) return nullptr;
    return static_cast<WordEntry*>(index->entries->items[position]);
}

KeywordSet* set_record_keywords(KeywordIndex* index, Bookmark* record, const char* text,
                                KeywordSet* old_set) {
    KeywordSet* set = old_set;
    if (set) {
        unlink_record(index, record, set);
        vec_reset(set->entries);
    } else {
        set = static_cast<KeywordSet*>(malloc(sizeof(KeywordSet)));
        set->entries = vec_create();
    }
    if (!text || text[0] == '\0') return set;
    char* copy = str_dup(text);
    remove_repeated_words(copy, true);
    LinkContext link = {index, record, set};
    split_words(copy, link_word, &link);
    free(copy);
    return set;
}

void set_bookmark_keywords(Collection* collection, Bookmark* record, const char* text) {
    record->keywords =
        set_record_keywords(collection->keyword_index, record, text, record->keywords);
}

void free_keyword_set(KeywordSet* set) {
    if (!set) return;
    vec_destroy(set->entries);
    free(set);
}

void append_keyword_set_text(TextBuffer* tb, const KeywordSet* set) {
    for (uint32_t i = 0; set && i < set->entries->count; i++) {
        if (i > 0) tb_append_char(tb, ' ');
        tb_append_str(tb, static_cast<const WordEntry*>(set->entries->items[i])->word);
    }
}

char* keyword_set_text(const KeywordSet* set) {
    TextBuffer text = tb_empty();
    append_keyword_set_text(&text, set);
    return tb_take(&text);
}

PtrVector* list_index_words(const KeywordIndex* index) {
    PtrVector* words = vec_create();
    vec_reserve(words, index->entries->count + 1);
    for (uint32_t i = 0; i < index->entries->count; i++) {
        vec_append(words, static_cast<WordEntry*>(index->entries->items[i])->word);
    }
    return words;
}
