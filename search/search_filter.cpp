// Text preparation for live filtering.
#include "search/search_filter.h"

#include <cstring>

#include "search/words.h"

bool prepare_filter_text(char* text) {
    size_t length = strlen(text);
    while (length > 0) {
        char c = text[length - 1];
        bool blank = (c >= 0x09 && c <= 0x0D) || c == ' ';
        if (!blank && c != '!' && c != '&' && c != '|') break;
        length--;
    }
    text[length] = '\0';
    return length > 0;
}

void tidy_search_hint(char* hint, bool case_sensitive) {
    if (!case_sensitive) remove_repeated_words(hint, false);
}
