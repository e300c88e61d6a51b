// Decoding and encoding UTF-8.
#include "core/utf8.h"

#include <cstring>

size_t utf8_decode(const char* p, uint32_t* code_point) {
    const unsigned char* s = reinterpret_cast<const unsigned char*>(p);
    const unsigned char lead = s[0];
    if (lead < 0x80) {
        *code_point = lead;
        return 1;
    }
    size_t length;
    uint32_t value;
    uint32_t lowest;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
        lowest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
        lowest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
        lowest = 0x10000;
    } else {
        return 0;
    }
    // A zero byte is no continuation byte, so the text's end stops the loop.
    for (size_t i = 1; i < length; i++) {
        if ((s[i] & 0xC0) != 0x80) return 0;
        value = (value << 6) | (s[i] & 0x3F);
    }
    if (value < lowest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
    *code_point = value;
    return length;
}

size_t utf8_encode(uint32_t code_point, char out[4]) {
    if (code_point < 0x80) {
        out[0] = static_cast<char>(code_point);
        return 1;
    }
    if (code_point < 0x800) {
        out[0] = static_cast<char>(0xC0 | (code_point >> 6));
        out[1] = static_cast<char>(0x80 | (code_point & 0x3F));
        return 2;
    }
    if (code_point < 0x10000) {
        out[0] = static_cast<char>(0xE0 | (code_point >> 12));
        out[1] = static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (code_point & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | (code_point >> 18));
    out[1] = static_cast<char>(0x80 | ((code_point >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (code_point & 0x3F));
    return 4;
}

size_t utf8_offset_of_utf16(const char* text, size_t units) {
    size_t offset = 0;
    while (units > 0 && text[offset]) {
        uint32_t code_point;
        const size_t length = utf8_decode(text + offset, &code_point);
        offset += length > 0 ? length : 1;
        const size_t taken = length > 0 && code_point > 0xFFFF ? 2 : 1;
        units = units > taken ? units - taken : 0;
    }
    return offset;
}

bool is_valid_utf8(const char* text, size_t length) {
    const char* p = text;
    const char* end = text + length;
    while (p < end) {
        // Thirty-two ASCII bytes at a time: most of a bookmark file is markup.
        if (end - p >= 32) {
            uint64_t block[4];
            memcpy(block, p, sizeof block);
            if (((block[0] | block[1] | block[2] | block[3]) & 0x8080808080808080ull) == 0) {
                p += 32;
                continue;
            }
        }
        while (p < end && static_cast<unsigned char>(*p) < 0x80) p++;
        if (p == end) break;
        // A sequence cut by the end reads the zero byte after it or fails on
        // the bounds check below.
        uint32_t code_point;
        const size_t sequence = utf8_decode(p, &code_point);
        if (sequence == 0 || sequence > static_cast<size_t>(end - p)) return false;
        p += sequence;
    }
    return true;
}

std::string utf8_from_utf16le(const void* bytes, size_t size) {
    const unsigned char* b = static_cast<const unsigned char*>(bytes);
    const size_t units = size / 2;
    auto unit = [b](size_t i) { return static_cast<uint32_t>(b[2 * i] | (b[2 * i + 1] << 8)); };
    std::string text;
    for (size_t i = 0; i < units; i++) {
        uint32_t code_point = unit(i);
        if (code_point == 0) break;
        if (code_point >= 0xD800 && code_point <= 0xDFFF) {
            const bool paired = code_point < 0xDC00 && i + 1 < units && unit(i + 1) >= 0xDC00 && unit(i + 1) <= 0xDFFF;
            code_point = paired ? 0x10000 + ((code_point - 0xD800) << 10) + (unit(++i) - 0xDC00) : 0xFFFD;
        }
        char encoded[4];
        text.append(encoded, utf8_encode(code_point, encoded));
    }
    return text;
}
