// How text becomes keyword words. ASCII bytes are classed by one table; a
// character beyond ASCII is decoded and classed by search/letters.h: letters,
// marks and numbers of every script belong in words as ASCII letters do.
#include "search/words.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <utility>
#include <vector>

#include "core/containers.h"
#include "core/utf8.h"
#include "search/letters.h"

namespace {

// Character classes as bits of one table entry per byte: the word loops run
// for every character of every title and description read.
enum CharClass : uint8_t {
    LETTER = 1,
    DIGIT = 2,
    WORD_PUNCTUATION = 4,  // '_' and '-', which join words
    TITLE_SEPARATOR = 8,
    REPEAT_SEPARATOR = 16,
    NON_ASCII = 32,  // a byte of a character beyond ASCII: decode it to class it
};

struct CharClasses {
    uint8_t of[256];
    constexpr CharClasses() : of() {
        for (int c = 'A'; c <= 'Z'; c++) of[c] = of[c + 32] = LETTER;
        for (int c = '0'; c <= '9'; c++) of[c] = DIGIT;
        of['_'] = of['-'] = WORD_PUNCTUATION;
        for (int c : {'\t', '\n', '\r', ' '}) of[c] |= TITLE_SEPARATOR;
        for (int c : {'\t', '\n', '\v', '\f', '\r', ' ', ','}) of[c] |= REPEAT_SEPARATOR;
        for (int c = 0x80; c < 0x100; c++) of[c] = NON_ASCII;
    }
};

constexpr CharClasses kClasses;

bool has_class(unsigned char c, unsigned classes) { return (kClasses.of[c] & classes) != 0; }
bool is_ascii_letter_byte(unsigned char c) { return has_class(c, LETTER); }
bool is_title_separator(unsigned char c) { return has_class(c, TITLE_SEPARATOR); }
bool is_repeat_separator(unsigned char c) { return has_class(c, REPEAT_SEPARATOR); }

// The character beyond ASCII at p, of `kind`: its length, else 0. Invalid
// bytes are of no kind.
size_t non_ascii_of_kind(const unsigned char* p, CharKind kind) {
    uint32_t code_point;
    const size_t length = utf8_decode(reinterpret_cast<const char*>(p), &code_point);
    return length > 0 && char_kind(code_point) == kind ? length : 0;
}

// The length of the word character at p (letters, digits, '_', '-' and the
// word characters beyond ASCII), or 0.
size_t word_char_at(const unsigned char* p) {
    if (has_class(*p, LETTER | DIGIT | WORD_PUNCTUATION)) return 1;
    return has_class(*p, NON_ASCII) ? non_ascii_of_kind(p, CHAR_WORD) : 0;
}

// The length of the white space at p that ends a title token, or 0.
size_t title_space_at(const unsigned char* p) {
    if (is_title_separator(*p)) return 1;
    return has_class(*p, NON_ASCII) ? non_ascii_of_kind(p, CHAR_SPACE) : 0;
}

// The same for repeated-word removal, which also parts words at VT, FF and commas.
size_t repeat_separator_at(const unsigned char* p) {
    if (is_repeat_separator(*p)) return 1;
    return has_class(*p, NON_ASCII) ? non_ascii_of_kind(p, CHAR_SPACE) : 0;
}

// A title token's characters, classed for the accepted forms: L a letter (an
// ASCII letter or any word character beyond ASCII), D an ASCII digit.
struct TitleToken {
    const unsigned char* s;
    size_t length;
    // The length of the letter at i (and, when asked, of an ASCII digit), or 0.
    size_t letter_at(size_t i, bool or_digit) const {
        if (i >= length) return 0;
        if (is_ascii_letter_byte(s[i]) || (or_digit && has_class(s[i], DIGIT))) return 1;
        const size_t n = has_class(s[i], NON_ASCII) ? non_ascii_of_kind(s + i, CHAR_WORD) : 0;
        return i + n <= length ? n : 0;
    }
    // Past a run of letters (or letters and digits) from i.
    size_t skip_letters(size_t i, bool or_digit) const {
        for (size_t n; (n = letter_at(i, or_digit)) > 0;) i += n;
        return i;
    }
};

// A letter followed by letters and digits only: the plain word of a title.
bool is_letter_word(const TitleToken& t, size_t from, size_t to) {
    TitleToken part{t.s + from, to - from};
    const size_t first = part.letter_at(0, false);
    return first > 0 && part.skip_letters(first, true) == part.length;
}

// Letters, one hyphen, then at least one letter or digit ("e-mail", "x-1").
bool is_hyphenated_word(const TitleToken& t) {
    const size_t i = t.skip_letters(0, false);
    if (i == 0 || i == t.length || t.s[i] != '-') return false;
    const size_t end = t.skip_letters(i + 1, true);
    return end == t.length && end > i + 1;
}

// The accepted part of a title token, or length 0 when the token is dropped.
std::pair<size_t, size_t> title_word_in(const unsigned char* s, size_t length) {
    const TitleToken t{s, length};
    if (s[0] == '(') {
        if (length >= 3 && s[length - 1] == ')' && is_letter_word(t, 1, length - 1)) {
            return {1, length - 2};
        }
        return {0, 0};
    }
    if (length > 2 && s[length - 2] == '\'' && s[length - 1] == 's' && is_letter_word(t, 0, length - 2)) {
        return {0, length - 2};
    }
    if (is_letter_word(t, 0, length) || is_hyphenated_word(t)) return {0, length};
    return {0, 0};
}

// Whether a word (valid UTF-8, as every word here is) has fewer than two characters.
bool is_one_character(const char* word) {
    if (word[0] == '\0' || word[1] == '\0') return true;
    if (static_cast<unsigned char>(word[0]) < 0x80) return false;
    uint32_t code_point;
    const size_t first = utf8_decode(word, &code_point);
    return first == 0 || word[first] == '\0';
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
    if (builder->automatic && (is_one_character(word) || is_stop_word(builder->index, word))) return;
    if (tb_length(builder->text) > 0) tb_append_char(&builder->text, ' ');
    tb_append_str(&builder->text, word);
}

}  // namespace

void split_words(const char* text, WordCallback callback, void* context) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (*p) {
        size_t n = word_char_at(p);
        if (n == 0) {
            p++;
            continue;
        }
        const unsigned char* start = p;
        do {
            p += n;
        } while ((n = word_char_at(p)) > 0);
        emit_word(start, static_cast<size_t>(p - start), callback, context);
    }
}

void scan_title_words(const char* text, WordCallback callback, void* context) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (*p) {
        if (size_t n = title_space_at(p)) {
            p += n;
            continue;
        }
        const unsigned char* start = p;
        while (*p && title_space_at(p) == 0) p++;
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
    unsigned char* p = reinterpret_cast<unsigned char*>(text);
    for (size_t n; (n = repeat_separator_at(p)) > 0;) p += n;
    // Kept words with their separators move up to `out` as repeats drop out:
    // one pass, where closing each gap at once moved the rest of the text.
    unsigned char* out = p;
    kept.clear();
    while (*p) {
        const char* word = reinterpret_cast<const char*>(p);
        while (*p && repeat_separator_at(p) == 0) p++;
        size_t length = static_cast<size_t>(reinterpret_cast<const char*>(p) - word);
        for (size_t n; (n = repeat_separator_at(p)) > 0;) p += n;
        bool repeat = false;
        for (const std::pair<const char*, size_t>& k : kept) {
            // Folding keeps every character's length, so spellings of a word
            // differing in case are as long as each other.
            if (k.second != length) continue;
            repeat = case_sensitive ? memcmp(k.first, word, length) == 0
                                    : compare_folded(k.first, length, word, length) == 0;
            if (repeat) break;
        }
        if (repeat) continue;
        const size_t span = static_cast<size_t>(reinterpret_cast<const char*>(p) - word);
        memmove(out, word, span);
        kept.emplace_back(reinterpret_cast<const char*>(out), length);
        out += span;
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
