// Parsing of the browsers' window-info replies ("URL","second field").
#include "browser/window_info.h"

#include <cstdlib>
#include <cstring>

#include "browser/browser_id.h"
#include "core/containers.h"

namespace {

// Internet Explorer: the second field up to its closing quote; empty means none.
char* iexplore_title(const char* field) {
    const char* end = strchr(field, '"');
    size_t length = end ? static_cast<size_t>(end - field) : strlen(field);
    return length ? str_dup_span(field, length) : nullptr;
}

// Netscape Navigator: the caption "Netscape - [title]" in quotes; the title is
// what follows the first "[", less the closing "]" and quote.
char* netscape_title(const char* field) {
    const char* bracket = strchr(field, '[');
    if (!bracket) return nullptr;
    size_t rest = strlen(bracket + 1);
    return rest >= 2 ? str_dup_span(bracket + 1, rest - 2) : nullptr;
}

}  // namespace

bool parse_window_info(const char* reply, uint32_t browser_id, char** url, char** title) {
    *url = nullptr;
    *title = nullptr;
    if (reply[0] != '"') return false;
    // Searched after the opening quote, so that a reply starting with the
    // separator cannot give the URL a negative length.
    const char* separator = strstr(reply + 1, "\",\"");
    if (!separator) return false;
    const char* second_field = separator + 3;
    if (browser_id == BROWSER_IEXPLORE) {
        *title = iexplore_title(second_field);
    } else if (browser_id == BROWSER_NETSCAPE) {
        *title = netscape_title(second_field);
    } else {
        return false;
    }
    *url = str_dup_span(reply + 1, static_cast<size_t>(separator - (reply + 1)));
    return true;
}
