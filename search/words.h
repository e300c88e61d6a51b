// Turning text into keyword words: the plain splitter, the stricter title
// scanner, repeated-word removal and the normalised keyword text.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

#include "core/containers.h"

struct KeywordIndex;

// Buffers that making keyword texts reuses from one bookmark to the next while
// a file of many bookmarks is read: allocating them for every bookmark cost a
// sixth of a large file's load. A batch of additions owns one.
struct WordScratch {
    TextBuffer joined;                                 // a title with its description
    TextBuffer copy;                                   // the text that repeats are removed from
    TextBuffer keywords;                               // the keyword text made of it
    std::vector<std::pair<const char*, size_t>> kept;  // the words kept so far
};
WordScratch* create_word_scratch();
void free_word_scratch(WordScratch* scratch);

// Called once per word; the word is valid only during the call.
using WordCallback = void (*)(const char* word, void* context);

void split_words(const char* text, WordCallback callback, void* context);
void scan_title_words(const char* text, WordCallback callback, void* context);
// Drops each later spelling of a word, ignoring case, with the separators after
// it: in place, only ever shortening the text. A null text is ignored.
void remove_repeated_words(char* text, WordScratch* scratch = nullptr);
bool is_stop_word(const KeywordIndex* index, const char* word);
// Returns an owned string (free with free()), possibly empty, never null. The
// scratch, when given, lends its buffers.
char* make_keyword_text(const KeywordIndex* index, const char* text, bool automatic, WordScratch* scratch = nullptr);
// The keyword text of automatic mode into `out` (emptied first), for callers
// that make many and reuse their buffers: the text itself is edited (its
// repeated words are removed in place), sparing a copy.
void make_automatic_keywords(const KeywordIndex* index, char* text, TextBuffer* out, WordScratch* scratch);
