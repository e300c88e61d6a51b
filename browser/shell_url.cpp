// The test of addresses that the shell may open.
#include "browser/shell_url.h"

#include <cstring>

#include "core/containers.h"

bool is_web_address(const char* url) {
    static const char* const kSchemes[] = {"http:", "https:", "ftp:"};
    for (const char* scheme : kSchemes) {
        size_t length = strlen(scheme);
        size_t i = 0;
        while (i < length && fold_ascii(url[i]) == scheme[i]) i++;
        if (i == length) return true;
    }
    return false;
}
