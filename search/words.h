// Turning text into keyword words: the plain splitter, the stricter title
// scanner, repeated-word removal and the normalised keyword text.
#pragma once

struct KeywordIndex;

// Called once per word; the word is valid only during the call.
using WordCallback = void (*)(const char* word, void* context);

void split_words(const char* text, WordCallback callback, void* context);
void scan_title_words(const char* text, WordCallback callback, void* context);
// Edits the text in place, only ever shortening it. A null text is ignored.
void remove_repeated_words(char* text, bool case_sensitive);
bool is_stop_word(const KeywordIndex* index, const char* word);
// Returns an owned string (free with free()), possibly empty, never null.
char* make_keyword_text(const KeywordIndex* index, const char* text, bool automatic);
