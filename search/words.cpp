// How text becomes keyword words. Character classes are plain ASCII; bytes
// 0x80 and above are never part of a word.
#include "search/words.h"

#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "collection/containers.h"

namespace {

bool is_letter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool is_digit(unsigned char c) { return c >= '0' && c <= '9'; }
bool is_alnum(unsigned char c) { return is_letter(c) || is_digit(c); }
bool is_word_char(unsigned char c) { return is_alnum(c) || c == '_' || c == '-'; }
bool is_title_separator(unsigned char c) { return c == '\t' || c == '\n' || c == '\r' || c == ' '; }
bool is_repeat_separator(unsigned char c) { return (c >= 0x09 && c <= 0x0D) || c == ' ' || c == ','; }

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

void remove_repeated_words(char* text, bool case_sensitive) {
    if (!text) return;
    char* p = text;
    while (*p && is_repeat_separator(static_cast<unsigned char>(*p))) p++;
    std::vector<std::pair<const char*, size_t>> kept;
    // Room for an ordinary title with its description, allocated once.
    kept.reserve(32);
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
                repeat = case_sensitive ? k.first[i] == word[i]
                                        : fold_ascii(k.first[i]) == fold_ascii(word[i]);
            }
            if (repeat) break;
        }
        if (repeat) {
            memmove(word, p, strlen(p) + 1);
            p = word;
        } else {
            kept.emplace_back(word, length);
        }
    }
}

char* make_keyword_text(const KeywordIndex* index, const char* text, bool automatic) {
    KeywordTextBuilder builder = {index, automatic, tb_empty()};
    // The words joined by single spaces are never longer than the text.
    tb_reserve(&builder.text, static_cast<uint32_t>(strlen(text)));
    if (automatic) {
        char* copy = str_dup(text);
        remove_repeated_words(copy, false);
        scan_title_words(copy, add_keyword_word, &builder);
        free(copy);
    } else {
        split_words(text, add_keyword_word, &builder);
    }
    return tb_take(&builder.text);
}
