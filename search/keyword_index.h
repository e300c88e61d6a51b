// The keyword index: every keyword word with the bookmarks that carry it, and
// for every bookmark the set of words it carries. The search looks only here.
#pragma once

#include <cstddef>
#include <vector>

#include "core/containers.h"

struct Bookmark;

struct KeywordIndex {
    PtrVector* entries;           // WordEntry pointers in byte order of their words, no duplicates
    PtrVector* stop_words;        // owned copies, case-insensitive order
    PtrTable* stop_word_table;    // the same words under hash_text_nocase, for is_stop_word
    PtrTable* by_word;            // every entry under hash_text of its word, for look-ups
    PtrVector* batch;             // entries made in an open batch, not yet in `entries`; else null
    uint64_t newest_serial;       // no record in any entry has a larger identity
    std::vector<void*>* linking;  // the entries of the set being made, reused for every record
};

// One word of the index. Exists exactly while at least one record carries it.
struct WordEntry {
    PtrVector* records;  // Bookmark*, in record identity order, no duplicates
    PtrVector list;      // what `records` points at, allocated with the entry
    char word[1];        // the word, allocated together with the entry
};

// The words of one bookmark, owned by its record; the entries belong to the index.
struct KeywordSet {
    PtrVector* entries;  // WordEntry*, in order of first occurrence, each once
    PtrVector list;      // what `entries` points at, allocated with the set
};

KeywordIndex* create_keyword_index();
// Frees every entry, the stop words and the index. Keyword sets are not touched:
// free them first with free_keyword_set.
void destroy_keyword_index(KeywordIndex* index);

// Opens and ends a batch of indexing, for reading files of many bookmarks:
// inserting each new word into `entries` by itself would move the vector's tail
// every time. While a batch is open, new entries are found by find_word_entry
// at once but join `entries` together when the batch ends, in one sort and one
// merge. The collection's batch of additions opens and ends one.
void begin_index_batch(KeywordIndex* index);
void end_index_batch(KeywordIndex* index);

// The entry whose word equals the given one exactly (case-sensitive), or null.
WordEntry* find_word_entry(const KeywordIndex* index, const char* word);

// Replaces a record's keywords with the words of the text (null or empty: none).
// Returns the set to store in the record: the old set reused, or a new one.
KeywordSet* set_record_keywords(KeywordIndex* index, Bookmark* record, const char* text, KeywordSet* old_set);
// Frees the set without touching the index. A null set is ignored.
void free_keyword_set(KeywordSet* set);
// The set's words in set order, separated by single spaces (empty for an empty
// or null set); owned, free with free().
char* keyword_set_text(const KeywordSet* set);
// The same text appended to a buffer, for writers of many sets.
void append_keyword_set_text(TextBuffer* tb, const KeywordSet* set);
// A new vector of the index's words (pointers into the entries) in index order.
// The caller destroys the vector only.
PtrVector* list_index_words(const KeywordIndex* index);
// The Keyword Dictionary's view of such a list when case is ignored: each word
// once without regard to case, folded to lower case, cut to at most
// `max_length` bytes (at a character's end), in the order of the folded words.
// A new vector of owned strings: free each string and destroy the vector.
PtrVector* fold_word_list(const PtrVector* words, size_t max_length);
