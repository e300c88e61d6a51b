// The keyword index. Entries are kept in byte order of their words so that the
// search can scan prefixes; record lists are kept in record identity order so
// that the search can merge them with the collection in linear time.
#include "search/keyword_index.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/bookmark.h"
#include "core/utf8.h"
#include "search/letters.h"
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
    // The vector header lives inside the entry (and the set's inside the set):
    // loading touches it for every word it reads, one block less is one fetch less.
    vec_init(&entry->list);
    entry->records = &entry->list;
    memcpy(entry->word, word, length + 1);
    return entry;
}

void free_word_entry(WordEntry* entry) {
    vec_release(&entry->list);
    free(entry);
}

int compare_entries(const void* element, const void* key) {
    return strcmp(static_cast<const WordEntry*>(element)->word, static_cast<const WordEntry*>(key)->word);
}

// Puts the open batch's entries into `entries`; the batch stays open. No word
// is in both, nor twice in the batch, so the order is that of one-by-one insertion.
void settle_batch(KeywordIndex* index) {
    if (!index->batch || index->batch->count == 0) return;
    vec_sort(index->batch, compare_entries);
    vec_merge_sorted(index->entries, index->batch, compare_entries);
}

// Takes the record out of every entry of the set, dropping entries left empty.
void unlink_record(KeywordIndex* index, Bookmark* record, const KeywordSet* set) {
    settle_batch(index);
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
            table_remove(index->by_word, hash_text(entry->word), entry);
            free_word_entry(entry);
        }
    }
}

struct LinkContext {
    KeywordIndex* index;
    Bookmark* record;
    std::vector<void*>* linked;  // the entries that will make up the record's set
    bool newest;                 // the record is newer than every record in the index
};

void link_word(const char* word, void* context) {
    LinkContext* link = static_cast<LinkContext*>(context);
    KeywordIndex* index = link->index;
    const uint32_t hash = hash_text(word);
    WordEntry* entry = static_cast<WordEntry*>(table_find(index->by_word, hash, word, compare_entry_word));
    if (!entry) {
        entry = new_word_entry(word);
        table_insert(index->by_word, hash, entry);
        if (index->batch) {
            vec_append(index->batch, entry);
        } else {
            uint32_t position;
            vec_search(index->entries, word, compare_entry_word, &position);
            vec_insert_at(index->entries, position, entry);
        }
    }
    // Already there: the word occurred earlier in the same text. The newest
    // record can only be last, and then it goes last without a look at the
    // others: a record read from memory for each word slowed loading.
    PtrVector* records = entry->records;
    if (link->newest) {
        if (records->count > 0 && records->items[records->count - 1] == link->record) return;
        vec_append(records, link->record);
    } else if (insert_in_identity_order(records, link->record)) {
        return;
    }
    link->linked->push_back(entry);
}

}  // namespace

KeywordIndex* create_keyword_index() {
    KeywordIndex* index = static_cast<KeywordIndex*>(malloc(sizeof(KeywordIndex)));
    index->entries = vec_create();
    index->stop_words = create_stop_word_list();
    index->stop_word_table = create_stop_word_table(index->stop_words);
    index->by_word = table_create();
    index->batch = nullptr;
    index->newest_serial = 0;
    index->linking = new std::vector<void*>();
    return index;
}

void destroy_keyword_index(KeywordIndex* index) {
    settle_batch(index);
    for (uint32_t i = 0; i < index->entries->count; i++) {
        free_word_entry(static_cast<WordEntry*>(index->entries->items[i]));
    }
    vec_destroy(index->entries);
    vec_destroy(index->batch);
    delete index->linking;
    table_destroy(index->by_word);
    table_destroy(index->stop_word_table);
    free_stop_word_list(index->stop_words);
    free(index);
}

void begin_index_batch(KeywordIndex* index) {
    if (!index->batch) index->batch = vec_create();
}

void end_index_batch(KeywordIndex* index) {
    settle_batch(index);
    vec_destroy(index->batch);
    index->batch = nullptr;
}

WordEntry* find_word_entry(const KeywordIndex* index, const char* word) {
    return static_cast<WordEntry*>(table_find(index->by_word, hash_text(word), word, compare_entry_word));
}

KeywordSet* set_record_keywords(KeywordIndex* index, Bookmark* record, const char* text, KeywordSet* old_set) {
    KeywordSet* set = old_set;
    if (set) {
        unlink_record(index, record, set);
    } else {
        set = static_cast<KeywordSet*>(malloc(sizeof(KeywordSet)));
        set->list = PtrVector{nullptr, 0, 0};
        set->entries = &set->list;
    }
    std::vector<void*>* linked = index->linking;
    linked->clear();
    if (text && text[0] != '\0') {
        // Repeated words need no removal first: a word whose entry already
        // lists this record is passed over in link_word, so every word counts
        // once, at its first occurrence.
        LinkContext link = {index, record, linked, record->serial > index->newest_serial};
        if (link.newest) index->newest_serial = record->serial;
        split_words(text, link_word, &link);
    }
    // The set holds exactly its words: most sets hold a few and rarely change,
    // and spare slots in every bookmark's set added up to a tenth of a large
    // collection.
    vec_assign(set->entries, linked->data(), static_cast<uint32_t>(linked->size()));
    return set;
}

void free_keyword_set(KeywordSet* set) {
    if (!set) return;
    vec_release(&set->list);
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

namespace {

int compare_words_folded(const void* element, const void* key) {
    const char* a = static_cast<const char*>(element);
    const char* b = static_cast<const char*>(key);
    return compare_folded(a, strlen(a), b, strlen(b));
}

}  // namespace

PtrVector* fold_word_list(const PtrVector* words, size_t max_length) {
    PtrVector* seen = vec_create();
    for (uint32_t i = 0; i < words->count; i++) vec_insert_sorted(seen, words->items[i], compare_words_folded);
    for (uint32_t i = 0; i < seen->count; i++) {
        const char* word = static_cast<const char*>(seen->items[i]);
        size_t length = 0;
        for (uint32_t c; word[length];) {
            const size_t n = utf8_decode(word + length, &c);
            const size_t step = n > 0 ? n : 1;
            if (length + step > max_length) break;
            length += step;
        }
        char* folded = str_dup_span(word, length);
        fold_word(folded);
        seen->items[i] = folded;
    }
    return seen;
}
