// UTF-8, the encoding of every text the program keeps: reading one character,
// writing one, and telling whether bytes are UTF-8 at all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The character that starts at p: its code point and its length in bytes, or
// length 0 when the bytes there are not a valid UTF-8 sequence (a stray
// continuation byte, a cut or overlong sequence, a surrogate, a value beyond
// U+10FFFF). Reads at most four bytes and never past a zero byte.
size_t utf8_decode(const char* p, uint32_t* code_point);

// Writes the code point's encoding (1 to 4 bytes) and returns its length.
size_t utf8_encode(uint32_t code_point, char out[4]);

// The length of a code point's encoding.
constexpr size_t utf8_length(uint32_t code_point) {
    return code_point < 0x80 ? 1 : code_point < 0x800 ? 2 : code_point < 0x10000 ? 3 : 4;
}

// Whether the bytes are UTF-8 throughout (ASCII is).
bool is_valid_utf8(const char* text, size_t length);

// The byte offset in a UTF-8 text of the position `units` UTF-16 code units
// from its start, as Windows controls count positions; the text's length when
// it is shorter. An invalid byte counts as one unit.
size_t utf8_offset_of_utf16(const char* text, size_t units);

// UTF-16 text in little-endian bytes, as Windows hands it over, up to its
// first zero unit or its end, as UTF-8. A lone surrogate becomes U+FFFD; an
// odd last byte is ignored.
std::string utf8_from_utf16le(const void* bytes, size_t size);
