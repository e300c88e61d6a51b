// The rules over the platform's letter data, and comparisons that ignore case.
#include "search/letters.h"

#include <cstdint>

#include "core/containers.h"
#include "core/utf8.h"

namespace {

// A case mapping counts only both ways and at the same encoded length.
uint32_t partner(uint32_t code_point, uint32_t mapped, bool to_lower) {
    if (mapped == code_point || utf8_length(mapped) != utf8_length(code_point) || mapped > 0xFFFF) return code_point;
    const PlatformCase back = platform_case(mapped);
    return (to_lower ? back.upper : back.lower) == code_point ? mapped : code_point;
}

// Only characters of the Basic Multilingual Plane outside the private use
// area have kinds and case from the platform.
bool from_platform(uint32_t code_point) {
    return code_point >= 0x80 && code_point <= 0xFFFF && !(code_point >= 0xE000 && code_point <= 0xF8FF);
}

uint32_t lower_partner(uint32_t code_point) {
    if (code_point < 0x80) return static_cast<unsigned char>(fold_ascii(static_cast<char>(code_point)));
    if (!from_platform(code_point)) return code_point;
    return partner(code_point, platform_case(code_point).lower, true);
}

uint32_t upper_partner(uint32_t code_point) {
    if (code_point < 0x80) {
        return is_ascii_letter(static_cast<char>(code_point)) ? lower_partner(code_point) - 32 : code_point;
    }
    if (!from_platform(code_point)) return code_point;
    return partner(code_point, platform_case(code_point).upper, false);
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

CharKind char_kind(uint32_t code_point) {
    if (code_point < 0x80) {
        const char c = static_cast<char>(code_point);
        if (is_ascii_letter(c) || (c >= '0' && c <= '9') || c == '_' || c == '-') return CHAR_WORD;
        return c == ' ' || c == '\t' || c == '\n' || c == '\r' ? CHAR_SPACE : CHAR_SEPARATOR;
    }
    if (from_platform(code_point)) return platform_kind(code_point);
    // Planes 2 and 3 hold only ideographs.
    return code_point >= 0x20000 && code_point <= 0x3FFFF ? CHAR_WORD : CHAR_SEPARATOR;
}

uint32_t fold_code_point(uint32_t code_point) { return lower_partner(code_point); }

size_t case_spellings(uint32_t code_point, uint32_t out[3]) {
    uint32_t all[3] = {upper_partner(code_point), code_point, lower_partner(code_point)};
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
