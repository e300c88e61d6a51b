// How text becomes keyword words. Character classes are plain ASCII; bytes
// 0x80 and above are never part of a word.
#include "search/words.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <utility>
#include <vector>

#include "core/containers.h"

namespace {

// Character classes as bits of one table entry per byte: the word loops run
// for every character of every title and description read.
enum CharClass : uint8_t {
    LETTER = 1,
    DIGIT = 2,
    WORD_PUNCTUATION = 4,  // '_' and '-', which join words
    TITLE_SEPARATOR = 8,
    REPEAT_SEPARATOR = 16,
};

struct CharClasses {
    uint8_t of[256];
    constexpr CharClasses() : of() {
        for (int c = 'A'; c <= 'Z'; c++) of[c] = of[c + 32] = LETTER;
        for (int c = '0'; c <= '9'; c++) of[c] = DIGIT;
        of['_'] = of['-'] = WORD_PUNCTUATION;
        for (int c : {'\t', '\n', '\r', ' '}) of[c] |= TITLE_SEPARATOR;
        for (int c : {'\t', '\n', '\v', '\f', '\r', ' ', ','}) of[c] |= REPEAT_SEPARATOR;
    }
};

constexpr CharClasses kClasses;

bool has_class(unsigned char c, unsigned classes) { return (kClasses.of[c] & classes) != 0; }
bool is_letter(unsigned char c) { return has_class(c, LETTER); }
bool is_alnum(unsigned char c) { return has_class(c, LETTER | DIGIT); }
bool is_word_char(unsigned char c) { return has_class(c, LETTER | DIGIT | WORD_PUNCTUATION); }
bool is_title_separator(unsigned char c) { return has_class(c, TITLE_SEPARATOR); }
bool is_repeat_separator(unsigned char c) { return has_class(c, REPEAT_SEPARATOR); }

// A letter followed by letters and digits only: the plain word of a title.
bool is_letter_word(const unsigned char* s, size_t length) {
    if (length == 0 || !is_letter(s[0])) return false;
    for (size_t i = 1; i < length; i++) {
        if (!is_alnum(s[i])) return false;
    }
    return true;
}

// Letters, one hyphen, then at least one letter or digit ("e-mail", "x-1").
bool is_hyphenated_word(const unsigned char* s, size_t length) {
    size_t i = 0;
    while (i < length && is_letter(s[i])) i++;
    if (i == 0 || i == length || s[i] != '-') return false;
    size_t rest = ++i;
    while (i < length && is_alnum(s[i])) i++;
    return i == length && i > rest;
}

// The accepted part of a title token, or length 0 when the token is dropped.
std::pair<size_t, size_t> title_word_in(const unsigned char* s, size_t length) {
    if (s[0] == '(') {
        if (length >= 3 && s[length - 1] == ')' && is_letter_word(s + 1, length - 2)) {
            return {1, length - 2};
        }
        return {0, 0};
    }
    if (length > 2 && s[length - 2] == '\'' && s[length - 1] == 's' && is_letter_word(s, length - 2)) {
        return {0, length - 2};
    }
    if (is_letter_word(s, length) || is_hyphenated_word(s, length)) return {0, length};
    return {0, 0};
}

// Hands a word to the callback as a terminated copy. Words are short, so a
// buffer on the stack nearly always does; this runs for every word read.
void emit_word(const unsigned char* start, size_t length, WordCallback callback, void* context) {
    char small[64];
    char* word = length < sizeof small ? small : static_cast<char*>(malloc(length + 1));
    memcpy(word, start, length);
    word[length] = '\0';
    callback(word, context);
    if (word != small) free(word);
}

struct KeywordTextBuilder {
    const KeywordIndex* index;
    bool automatic;
    TextBuffer text;
};

void add_keyword_word(const char* word, void* context) {
    KeywordTextBuilder* builder = static_cast<KeywordTextBuilder*>(context);
    if (builder->automatic && (strlen(word) < 2 || is_stop_word(builder->index, word))) return;
    if (tb_length(builder->text) > 0) tb_append_char(&builder->text, ' ');
    tb_append_str(&builder->text, word);
}

}  // namespace

void split_words(const char* text, WordCallback callback, void* context) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (*p) {
        if (!is_word_char(*p)) {
            p++;
            continue;
        }
        const unsigned char* start = p;
        while (*p && is_word_char(*p)) p++;
        emit_word(start, static_cast<size_t>(p - start), callback, context);
    }
}

void scan_title_words(const char* text, WordCallback callback, void* context) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (*p) {
        if (is_title_separator(*p)) {
            p++;
            continue;
        }
        const unsigned char* start = p;
        while (*p && !is_title_separator(*p)) p++;
        std::pair<size_t, size_t> accepted = title_word_in(start, static_cast<size_t>(p - start));
        if (accepted.second == 0) continue;
        emit_word(start + accepted.first, accepted.second, callback, context);
    }
}

WordScratch* create_word_scratch() {
    WordScratch* scratch = new WordScratch;
    scratch->joined = tb_empty();
    scratch->copy = tb_empty();
    return scratch;
}

void free_word_scratch(WordScratch* scratch) {
    if (!scratch) return;
    tb_free(&scratch->joined);
    tb_free(&scratch->copy);
    delete scratch;
}

void remove_repeated_words(char* text, bool case_sensitive, WordScratch* scratch) {
    if (!text) return;
    std::vector<std::pair<const char*, size_t>> own;
    std::vector<std::pair<const char*, size_t>>& kept = scratch ? scratch->kept : own;
    char* p = text;
    while (*p && is_repeat_separator(static_cast<unsigned char>(*p))) p++;
    // Kept words with their separators move up to `out` as repeats drop out:
    // one pass, where closing each gap at once moved the rest of the text.
    char* out = p;
    kept.clear();
    while (*p) {
        char* word = p;
        while (*p && !is_repeat_separator(static_cast<unsigned char>(*p))) p++;
        size_t length = static_cast<size_t>(p - word);
        while (*p && is_repeat_separator(static_cast<unsigned char>(*p))) p++;
        bool repeat = false;
        for (const std::pair<const char*, size_t>& k : kept) {
            if (k.second != length) continue;
            repeat = true;
            for (size_t i = 0; i < length && repeat; i++) {
                repeat = case_sensitive ? k.first[i] == word[i] : fold_ascii(k.first[i]) == fold_ascii(word[i]);
            }
            if (repeat) break;
        }
        if (repeat) continue;
        memmove(out, word, static_cast<size_t>(p - word));
        kept.emplace_back(out, length);
        out += p - word;
    }
    *out = '\0';
}

char* make_keyword_text(const KeywordIndex* index, const char* text, bool automatic, WordScratch* scratch) {
    KeywordTextBuilder builder = {index, automatic, tb_empty()};
    // The words joined by single spaces are never longer than the text.
    tb_reserve(&builder.text, static_cast<uint32_t>(strlen(text)));
    if (automatic) {
        TextBuffer own = tb_empty();
        TextBuffer* copy = scratch ? &scratch->copy : &own;
        tb_assign(copy, text);
        remove_repeated_words((*copy)->text, false, scratch);
        scan_title_words((*copy)->text, add_keyword_word, &builder);
        tb_free(&own);
    } else {
        split_words(text, add_keyword_word, &builder);
    }
    return tb_take(&builder.text);
}
