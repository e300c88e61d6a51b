// The input as a zero-terminated text in a block of exactly its size (AddressSanitizer sees a read past the
// terminator), and a failed expectation ending the run as a crash would.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

// Owned copy of the bytes with a zero after them (free with free()). A zero byte inside ends the text there, as it
// would a file read by the program.
inline char* fuzz_text(const uint8_t* data, size_t size) {
    char* text = static_cast<char*>(malloc(size + 1));
    memcpy(text, data, size);
    text[size] = '\0';
    return text;
}

// Splits the input at its first line break: the text before it and the text after it, each an owned copy; without one
// the first part is empty.
inline void fuzz_split(const uint8_t* data, size_t size, char** first, char** second) {
    const void* newline = memchr(data, '\n', size);
    const size_t cut = newline ? static_cast<size_t>(static_cast<const uint8_t*>(newline) - data) : 0;
    *first = fuzz_text(data, cut);
    *second = newline ? fuzz_text(data + cut + 1, size - cut - 1) : fuzz_text(data, size);
}

inline void fuzz_expect(bool holds, const char* what, const std::string& detail = std::string()) {
    if (holds) return;
    fprintf(stderr, "fuzz expectation failed: %s %s\n", what, detail.c_str());
    abort();
}
