// Choosing between a text as it is and its ANSI reading.
#include "core/ansi_text.h"

#include "core/utf8.h"

char* utf8_or_converted(const char* text, size_t length) {
    return is_valid_utf8(text, length) ? nullptr : ansi_to_utf8(text, length);
}
