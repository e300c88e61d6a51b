// The rules over the platform's letter data, and comparisons that ignore case.
#include "search/letters.h"

#include <cstdint>

#include "core/containers.h"
#include "core/utf8.h"

namespace {

// A case mapping counts only both ways and at the same encoded length.
uint32_t partner(uint32_t code_point, uint32_t mapped, bool to_lower) {
    if (mapped == code_point || utf8_length(mapped) != utf8_length(code_point) || mapped > 0xFFFF) return code_point;
    const PlatformLetter back = platform_letter(mapped);
    return (to_lower ? back.upper : back.lower) == code_point ? mapped : code_point;
}

struct Letter {
    CharKind kind;
    uint32_t lower;
    uint32_t upper;
};

Letter letter(uint32_t code_point) {
    if (code_point < 0x80) {
        const char c = static_cast<char>(code_point);
        const bool word = is_ascii_letter(c) || (c >= '0' && c <= '9') || c == '_' || c == '-';
        const bool space = c == ' ' || c == '\t' || c == '\n' || c == '\r';
        const uint32_t lower = static_cast<unsigned char>(fold_ascii(c));
        const uint32_t upper = is_ascii_letter(c) ? lower - 32 : code_point;
        return Letter{word ? CHAR_WORD : space ? CHAR_SPACE : CHAR_SEPARATOR, lower, upper};
    }
    if (code_point > 0xFFFF) {
        const bool ideograph = code_point >= 0x20000 && code_point <= 0x3FFFF;
        return Letter{ideograph ? CHAR_WORD : CHAR_SEPARATOR, code_point, code_point};
    }
    if (code_point >= 0xE000 && code_point <= 0xF8FF) return Letter{CHAR_SEPARATOR, code_point, code_point};
    const PlatformLetter p = platform_letter(code_point);
    return Letter{p.kind, partner(code_point, p.lower, true), partner(code_point, p.upper, false)};
}

// The next character of a string of known length and its folded form;
// an invalid byte stands for itself (beyond every code point's fold).
size_t next_folded(const char* p, size_t left, uint32_t* folded) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if (c < 0x80) {
        *folded = static_cast<unsigned char>(fold_ascii(static_cast<char>(c)));
        return 1;
    }
    uint32_t code_point;
    const size_t length = utf8_decode(p, &code_point);
    if (length == 0 || length > left) {
        *folded = 0x110000 + c;
        return 1;
    }
    *folded = fold_code_point(code_point);
    return length;
}

}  // namespace

CharKind char_kind(uint32_t code_point) { return letter(code_point).kind; }

uint32_t fold_code_point(uint32_t code_point) { return letter(code_point).lower; }

size_t case_spellings(uint32_t code_point, uint32_t out[3]) {
    const Letter l = letter(code_point);
    uint32_t all[3] = {l.upper, code_point, l.lower};
    // Upper-case partners mostly sort first; sort the three to be sure.
    for (int i = 0; i < 2; i++) {
        for (int j = 0; j < 2 - i; j++) {
            if (all[j] > all[j + 1]) {
                const uint32_t t = all[j];
                all[j] = all[j + 1];
                all[j + 1] = t;
            }
        }
    }
    size_t count = 0;
    for (uint32_t c : all) {
        if (count == 0 || out[count - 1] != c) out[count++] = c;
    }
    return count;
}

int compare_folded(const char* a, size_t a_length, const char* b, size_t b_length) {
    size_t i = 0, j = 0;
    while (i < a_length && j < b_length) {
        const unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[j]);
        if ((x | y) < 0x80) {
            const unsigned char fx = static_cast<unsigned char>(fold_ascii(static_cast<char>(x)));
            const unsigned char fy = static_cast<unsigned char>(fold_ascii(static_cast<char>(y)));
            if (fx != fy) return fx < fy ? -1 : 1;
            i++;
            j++;
            continue;
        }
        uint32_t fx, fy;
        i += next_folded(a + i, a_length - i, &fx);
        j += next_folded(b + j, b_length - j, &fy);
        if (fx != fy) return fx < fy ? -1 : 1;
    }
    if (i < a_length) return 1;
    return j < b_length ? -1 : 0;
}

bool starts_with_folded(const char* word, const char* prefix, size_t prefix_length) {
    size_t i = 0, j = 0;
    while (j < prefix_length) {
        const unsigned char x = static_cast<unsigned char>(word[i]), y = static_cast<unsigned char>(prefix[j]);
        // The word's terminator matches no prefix character.
        if (x == 0) return false;
        if ((x | y) < 0x80) {
            if (fold_ascii(static_cast<char>(x)) != fold_ascii(static_cast<char>(y))) return false;
            i++;
            j++;
            continue;
        }
        uint32_t fx, fy;
        i += next_folded(word + i, SIZE_MAX, &fx);
        j += next_folded(prefix + j, prefix_length - j, &fy);
        if (fx != fy) return false;
    }
    return true;
}

void fold_word(char* word) {
    for (char* p = word; *p;) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c < 0x80) {
            *p = fold_ascii(*p);
            p++;
            continue;
        }
        uint32_t code_point;
        const size_t length = utf8_decode(p, &code_point);
        if (length == 0) {
            p++;
            continue;
        }
        utf8_encode(fold_code_point(code_point), p);
        p += length;
    }
}
