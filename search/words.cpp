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
    TEXT_END = 64,   // the terminating zero
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
        of[0] = TEXT_END;
    }
};

constexpr CharClasses kClasses;

bool has_class(unsigned char c, unsigned classes) { return (kClasses.of[c] & classes) != 0; }

// The character beyond ASCII at p, of `kind`: its length, else 0. Invalid
// bytes are of no kind.
size_t non_ascii_of_kind(const unsigned char* p, CharKind kind) {
    uint32_t code_point;
    const size_t length = utf8_decode(reinterpret_cast<const char*>(p), &code_point);
    return length > 0 && char_kind(code_point) == kind ? length : 0;
}

// The length of the separator at p, or 0: a byte of the given ASCII classes
// (TITLE_SEPARATOR for title tokens, REPEAT_SEPARATOR for repeated words), or
// white space beyond ASCII.
size_t separator_at(const unsigned char* p, unsigned separators) {
    if (has_class(*p, separators)) return 1;
    return has_class(*p, NON_ASCII) ? non_ascii_of_kind(p, CHAR_SPACE) : 0;
}

// Past the separators from p.
const unsigned char* skip_separators(const unsigned char* p, unsigned separators) {
    for (size_t n; (n = separator_at(p, separators)) > 0;) p += n;
    return p;
}

// The rest of skip_to_separator from a byte beyond ASCII.
const unsigned char* skip_to_separator_beyond_ascii(const unsigned char* p, unsigned separators) {
    for (;;) {
        uint32_t code_point;
        const size_t length = utf8_decode(reinterpret_cast<const char*>(p), &code_point);
        if (length > 0 && char_kind(code_point) == CHAR_SPACE) return p;
        p += length > 0 ? length : 1;
        while (!has_class(*p, separators | NON_ASCII | TEXT_END)) p++;
        if (!has_class(*p, NON_ASCII)) return p;
    }
}

// From a byte that is no separator to the next separator or the end. ASCII
// bytes are passed in a tight loop here; bytes beyond ASCII are decoded out of
// line, so that the common case stays small enough to inline.
inline const unsigned char* skip_to_separator(const unsigned char* p, unsigned separators) {
    while (!has_class(*p, separators | NON_ASCII | TEXT_END)) p++;
    return has_class(*p, NON_ASCII) ? skip_to_separator_beyond_ascii(p, separators) : p;
}

// The rest of skip_letters from a byte beyond ASCII.
size_t skip_letters_beyond_ascii(const unsigned char* s, size_t i, size_t end, unsigned classes) {
    for (;;) {
        const size_t n = non_ascii_of_kind(s + i, CHAR_WORD);
        if (n == 0 || i + n > end) return i;
        i += n;
        while (i < end && has_class(s[i], classes)) i++;
        if (i >= end || !has_class(s[i], NON_ASCII)) return i;
    }
}

// Past the letters from i, up to `end` of a title token; with DIGIT among the
// classes, past letters and digits. A letter is an ASCII letter or any word
// character beyond ASCII; a digit is an ASCII digit.
inline size_t skip_letters(const unsigned char* s, size_t i, size_t end, unsigned classes) {
    while (i < end && has_class(s[i], classes)) i++;
    return i < end && has_class(s[i], NON_ASCII) ? skip_letters_beyond_ascii(s, i, end, classes) : i;
}

// A letter followed by letters and digits only: the plain word of a title.
bool is_letter_word(const unsigned char* s, size_t from, size_t to) {
    const size_t letters = skip_letters(s, from, to, LETTER);
    return letters > from && skip_letters(s, letters, to, LETTER | DIGIT) == to;
}

// Letters, one hyphen, then at least one letter or digit ("e-mail", "x-1").
bool is_hyphenated_word(const unsigned char* s, size_t length) {
    const size_t i = skip_letters(s, 0, length, LETTER);
    if (i == 0 || i == length || s[i] != '-') return false;
    const size_t end = skip_letters(s, i + 1, length, LETTER | DIGIT);
    return end == length && end > i + 1;
}

// The accepted part of a title token, or length 0 when the token is dropped.
std::pair<size_t, size_t> title_word_in(const unsigned char* s, size_t length) {
    if (s[0] == '(') {
        if (length >= 3 && s[length - 1] == ')' && is_letter_word(s, 1, length - 1)) {
            return {1, length - 2};
        }
        return {0, 0};
    }
    if (length > 2 && s[length - 2] == '\'' && s[length - 1] == 's' && is_letter_word(s, 0, length - 2)) {
        return {0, length - 2};
    }
    if (is_letter_word(s, 0, length) || is_hyphenated_word(s, length)) return {0, length};
    return {0, 0};
}

// Whether two words of the same length are the same apart from letter case:
// ASCII compared here, the rest from the first byte beyond ASCII by the
// letter data.
bool same_ignoring_case(const char* a, const char* b, size_t length) {
    for (size_t i = 0; i < length; i++) {
        const unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if ((x | y) >= 0x80) return compare_folded(a + i, length - i, b + i, length - i) == 0;
        if (fold_ascii(a[i]) != fold_ascii(b[i])) return false;
    }
    return true;
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
    TextBuffer* text;
};

void add_keyword_word(const char* word, void* context) {
    KeywordTextBuilder* builder = static_cast<KeywordTextBuilder*>(context);
    if (builder->automatic && (is_one_character(word) || is_stop_word(builder->index, word))) return;
    if (tb_length(*builder->text) > 0) tb_append_char(builder->text, ' ');
    tb_append_str(builder->text, word);
}

}  // namespace

void split_words(const char* text, WordCallback callback, void* context) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (*p) {
        const unsigned char* start = p;
        // ASCII word characters in a tight loop; a byte beyond ASCII is decoded.
        for (size_t n = 1; n > 0; p += n) {
            while (has_class(*p, LETTER | DIGIT | WORD_PUNCTUATION)) p++;
            n = has_class(*p, NON_ASCII) ? non_ascii_of_kind(p, CHAR_WORD) : 0;
        }
        if (p == start) {
            // A separator; continuation bytes of one beyond ASCII are no word characters.
            p++;
            continue;
        }
        emit_word(start, static_cast<size_t>(p - start), callback, context);
    }
}

void scan_title_words(const char* text, WordCallback callback, void* context) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (*(p = skip_separators(p, TITLE_SEPARATOR))) {
        const unsigned char* start = p;
        p = skip_to_separator(p, TITLE_SEPARATOR);
        std::pair<size_t, size_t> accepted = title_word_in(start, static_cast<size_t>(p - start));
        if (accepted.second == 0) continue;
        emit_word(start + accepted.first, accepted.second, callback, context);
    }
}

WordScratch* create_word_scratch() {
    WordScratch* scratch = new WordScratch;
    scratch->joined = tb_empty();
    scratch->copy = tb_empty();
    scratch->keywords = tb_empty();
    return scratch;
}

void free_word_scratch(WordScratch* scratch) {
    if (!scratch) return;
    tb_free(&scratch->joined);
    tb_free(&scratch->copy);
    tb_free(&scratch->keywords);
    delete scratch;
}

void remove_repeated_words(char* text, WordScratch* scratch) {
    if (!text) return;
    std::vector<std::pair<const char*, size_t>> own;
    std::vector<std::pair<const char*, size_t>>& kept = scratch ? scratch->kept : own;
    const unsigned char* p = skip_separators(reinterpret_cast<unsigned char*>(text), REPEAT_SEPARATOR);
    // Kept words with their separators move up to `out` as repeats drop out:
    // one pass, where closing each gap at once moved the rest of the text.
    char* out = text + (reinterpret_cast<const char*>(p) - text);
    kept.clear();
    // Which lengths (below 64) kept words have: most words of a title meet no
    // kept word of their length, and then need no comparison at all.
    uint64_t kept_lengths = 0;
    while (*p) {
        const char* word = reinterpret_cast<const char*>(p);
        p = skip_to_separator(p, REPEAT_SEPARATOR);
        size_t length = static_cast<size_t>(reinterpret_cast<const char*>(p) - word);
        p = skip_separators(p, REPEAT_SEPARATOR);
        const uint64_t length_bit = length < 64 ? uint64_t{1} << length : 0;
        bool repeat = false;
        if (length_bit == 0 || (kept_lengths & length_bit)) {
            for (const std::pair<const char*, size_t>& k : kept) {
                // Folding keeps every character's length, so spellings of a
                // word differing in case are as long as each other.
                if (k.second != length) continue;
                repeat = same_ignoring_case(k.first, word, length);
                if (repeat) break;
            }
        }
        if (repeat) continue;
        const size_t span = static_cast<size_t>(reinterpret_cast<const char*>(p) - word);
        // Until the first repeat the kept words are where they stand.
        if (out != word) memmove(out, word, span);
        kept.emplace_back(out, length);
        kept_lengths |= length_bit;
        out += span;
    }
    *out = '\0';
}

void make_automatic_keywords(const KeywordIndex* index, char* text, TextBuffer* out, WordScratch* scratch) {
    tb_clear(out);
    // The words joined by single spaces are never longer than the text.
    const uint32_t length = static_cast<uint32_t>(strlen(text));
    if (length == 0) return;
    tb_reserve(out, length);
    KeywordTextBuilder builder = {index, true, out};
    remove_repeated_words(text, scratch);
    scan_title_words(text, add_keyword_word, &builder);
}

char* make_keyword_text(const KeywordIndex* index, const char* text, bool automatic, WordScratch* scratch) {
    TextBuffer made = tb_empty();
    if (automatic) {
        TextBuffer own = tb_empty();
        TextBuffer* copy = scratch ? &scratch->copy : &own;
        tb_assign(copy, text);
        make_automatic_keywords(index, (*copy)->text, &made, scratch);
        tb_free(&own);
    } else {
        tb_reserve(&made, static_cast<uint32_t>(strlen(text)));
        KeywordTextBuilder builder = {index, false, &made};
        split_words(text, add_keyword_word, &builder);
    }
    return tb_take(&made);
}
