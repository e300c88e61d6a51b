// Writing, checking and taking apart the folder path a bookmark keeps.
#include "collection/folder_path.h"

#include <initializer_list>

namespace {

struct EscapedBytes {
    bool of[256];
    constexpr EscapedBytes() : of() {
        for (int c = 0; c < 0x20; c++) of[c] = true;
        of[0x7F] = true;
        for (char c : {'"', '%', '&', '\'', '/', '<', '>'}) of[static_cast<unsigned char>(c)] = true;
    }
};

constexpr EscapedBytes kEscaped;

// One byte of a name, escaped where it must be.
void append_name_byte(TextBuffer* path, unsigned char c) {
    static const char kHex[] = "0123456789ABCDEF";
    if (c == 0) return;
    if (!kEscaped.of[c]) {
        tb_append_char(path, static_cast<char>(c));
        return;
    }
    const char escaped[3] = {'%', kHex[c >> 4], kHex[c & 15]};
    tb_append(path, escaped, 3);
}

int hex_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The byte "%XX" at p stands for, or -1 when p holds no such escape (the
// text ends at a NUL or at `end`, whichever comes first). Only ASCII bytes
// are ever escaped: a byte above it decoded alone could break the file's
// UTF-8, and the whole file would then be read as another code page.
int escaped_byte(const char* p, const char* end) {
    if (end - p < 3 || *p != '%') return -1;
    const int high = hex_value(p[1]);
    const int low = high < 0 ? -1 : hex_value(p[2]);
    return low < 0 || high > 7 ? -1 : high * 16 + low;
}

}  // namespace

void append_folder_path(TextBuffer* path, const TextBuffer* names, uint32_t count) {
    for (uint32_t i = 0; i < count; i++) {
        if (i > 0) tb_append_char(path, '/');
        const char* name = tb_text(names[i]);
        for (uint32_t j = 0; j < tb_length(names[i]); j++) append_name_byte(path, static_cast<unsigned char>(name[j]));
    }
}

void append_folder_attribute(TextBuffer* path, const char* value, size_t length) {
    const char* end = value + length;
    for (const char* p = value; p < end; p++) {
        // The program's own values are runs that stay as they are: copied at once.
        const char* run = p;
        while (p < end && (*p == '/' || !kEscaped.of[static_cast<unsigned char>(*p)])) p++;
        tb_append(path, run, static_cast<uint32_t>(p - run));
        if (p == end) break;
        const int escaped = escaped_byte(p, end);
        if (escaped >= 0) {
            append_name_byte(path, static_cast<unsigned char>(escaped));
            p += 2;
        } else {
            append_name_byte(path, static_cast<unsigned char>(*p));
        }
    }
}

const char* next_folder_name(const char* path, TextBuffer* name) {
    tb_clear(name);
    const char* p = path;
    for (; *p != '\0' && *p != '/'; p++) {
        const int escaped = escaped_byte(p, p + 3);
        if (escaped >= 0) {
            tb_append_char(name, static_cast<char>(escaped));
            p += 2;
        } else {
            tb_append_char(name, *p);
        }
    }
    return *p == '/' ? p + 1 : nullptr;
}

int compare_folder_paths(const char* a, const char* b) {
    if (!a || !b) return (a != nullptr) - (b != nullptr);
    // '/' ranks below every byte a name holds as itself (which are none
    // below the blank): a folder's own paths stay together.
    for (;; a++, b++) {
        const int x = *a == '/' ? 1 : static_cast<unsigned char>(*a);
        const int y = *b == '/' ? 1 : static_cast<unsigned char>(*b);
        if (x != y || x == 0) return x - y;
    }
}
