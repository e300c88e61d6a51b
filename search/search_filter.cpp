// Text preparation for live filtering.
#include "search/search_filter.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/containers.h"
#include "search/letters.h"

namespace {

// The separators of repeated-word removal: white space and commas.
bool is_separator(char c) { return (c >= 0x09 && c <= 0x0D) || c == ' ' || c == ','; }

struct HintWord {
    size_t start;   // offset of the word
    size_t length;  // bytes of the word
    size_t span;    // bytes of the word and the separators after it
};

// Orders words by their folded letters; equal means the same word apart from
// letter case.
int compare_hint_words(const char* text, const HintWord& a, const HintWord& b) {
    return compare_folded(text + a.start, a.length, text + b.start, b.length);
}

}  // namespace

bool prepare_filter_text(char* text) {
    size_t length = strlen(text);
    while (length > 0) {
        char c = text[length - 1];
        bool blank = (c >= 0x09 && c <= 0x0D) || c == ' ';
        if (!blank && c != '!' && c != '&' && c != '|') break;
        length--;
    }
    text[length] = '\0';
    return length > 0;
}

// The same result as remove_repeated_words: a later spelling of a
// word is removed with the separators after it. That operation compares every
// word with all kept before it, and a one-letter prefix can list thousands of
// words on every keystroke; sorting a copy of the word list keeps this fast.
void tidy_search_hint(char* hint, bool case_sensitive) {
    if (!hint || case_sensitive) return;
    std::vector<HintWord> words;
    size_t at = 0;
    while (hint[at] && is_separator(hint[at])) at++;
    const size_t first_word = at;
    while (hint[at]) {
        HintWord w;
        w.start = at;
        while (hint[at] && !is_separator(hint[at])) at++;
        w.length = at - w.start;
        while (hint[at] && is_separator(hint[at])) at++;
        w.span = at - w.start;
        words.push_back(w);
    }
    // Within each group of spellings the first in the text stays.
    std::vector<size_t> order(words.size());
    for (size_t i = 0; i < order.size(); i++) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return compare_hint_words(hint, words[a], words[b]) < 0; });
    std::vector<bool> removed(words.size(), false);
    for (size_t i = 1; i < order.size(); i++) {
        if (compare_hint_words(hint, words[order[i - 1]], words[order[i]]) == 0) removed[order[i]] = true;
    }
    // Kept words move left over the gaps; the text only ever shrinks.
    size_t out = first_word;
    for (size_t i = 0; i < words.size(); i++) {
        if (removed[i]) continue;
        memmove(hint + out, hint + words[i].start, words[i].span);
        out += words[i].span;
    }
    hint[out] = '\0';
}
