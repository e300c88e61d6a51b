// ANSI text read as Windows-1252 with the C library's iconv.
#include <iconv.h>

#include <cerrno>
#include <cstdlib>

#include "core/ansi_text.h"
#include "core/utf8.h"

char* ansi_to_utf8(const char* text, size_t length) {
    // No byte of Windows-1252 takes more than three bytes of UTF-8.
    char* out = static_cast<char*>(malloc(3 * length + 1));
    char* write = out;
    size_t room = 3 * length;
    iconv_t converter = iconv_open("UTF-8", "WINDOWS-1252");
    char* read = const_cast<char*>(text);
    size_t left = length;
    while (left > 0) {
        if (converter != reinterpret_cast<iconv_t>(-1) &&
            iconv(converter, &read, &left, &write, &room) != static_cast<size_t>(-1)) {
            break;
        }
        // The five bytes the code page leaves undefined (and every byte when
        // the converter is missing) stand for themselves.
        const size_t written = utf8_encode(static_cast<unsigned char>(*read), write);
        write += written;
        room -= written;
        read++;
        left--;
    }
    if (converter != reinterpret_cast<iconv_t>(-1)) iconv_close(converter);
    *write = '\0';
    return out;
}
