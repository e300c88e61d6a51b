// Status line and header lines of a reply, read line by line.
#include "checker/reply.h"

#include <cstring>

#include "core/containers.h"

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

const char* line_end(const char* p) {
    while (*p && *p != '\n') p++;
    return p;
}

}  // namespace

uint32_t reply_status(const char* reply) {
    if (strncmp(reply, "HTTP/", 5) != 0) return 0;
    const char* p = reply + 5;
    while (is_digit(*p) || *p == '.') p++;
    if (*p != ' ') return 0;
    while (*p == ' ') p++;
    if (!is_digit(p[0]) || !is_digit(p[1]) || !is_digit(p[2]) || is_digit(p[3])) return 0;
    return static_cast<uint32_t>((p[0] - '0') * 100 + (p[1] - '0') * 10 + (p[2] - '0'));
}

const char* reply_body(const char* reply) {
    const char* crlf = strstr(reply, "\r\n\r\n");
    const char* lf = strstr(reply, "\n\n");
    if (crlf && (!lf || crlf < lf)) return crlf + 4;
    return lf ? lf + 2 : nullptr;
}

const char* find_header(const char* reply, const char* name, size_t* length) {
    size_t name_length = strlen(name);
    const char* line = line_end(reply);
    // The headers end at the first empty line.
    while (*line == '\n' && line[1] != '\0' && line[1] != '\n' && strncmp(line + 1, "\r\n", 2) != 0) {
        line++;
        const char* end = line_end(line);
        bool named = static_cast<size_t>(end - line) > name_length && line[name_length] == ':';
        for (size_t i = 0; named && i < name_length; i++) named = fold_ascii(line[i]) == fold_ascii(name[i]);
        if (named) {
            const char* value = line + name_length + 1;
            while (*value == ' ' || *value == '\t') value++;
            const char* value_end = end;
            while (value_end > value && (value_end[-1] == '\r' || value_end[-1] == ' ' || value_end[-1] == '\t')) {
                value_end--;
            }
            *length = static_cast<size_t>(value_end - value);
            return value;
        }
        line = end;
    }
    *length = 0;
    return nullptr;
}
