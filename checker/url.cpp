// URL splitting with the URL pattern, and redirect targets.
#include "checker/url.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "checker/pattern.h"
#include "core/containers.h"

namespace {

// Subexpressions: 1 scheme with "://", 2 scheme, 5 host, 6 ":" and port,
// 7 port digits, 8 path, 9 fragment.
const std::regex& url_pattern() {
    static const std::regex pattern(
        "((([-+.a-zA-Z]|([%][0-9A-F]{2}))+)://)?([-%@=&;?$_.+!*'(),a-zA-Z0-9.]+)([:]([0-9]+))?"
        "([-%@=&;?$_.+!*'(),a-zA-Z0-9./]*)([#-%@=&;?$_.+!*'(),a-zA-Z0-9./]+)?",
        CHECKER_REGEX | std::regex::icase);
    return pattern;
}

struct SchemeRow {
    const char* name;
    int32_t scheme;
    uint16_t default_port;
};

// Searched in order; a written scheme only has to begin with a row's name.
const SchemeRow scheme_table[] = {
    {"http", SCHEME_HTTP, 80},
    {"ftp", SCHEME_FTP, 21},
    {"file", SCHEME_FILE, 0},
};

// The written scheme begins with the name, without regard to case.
bool scheme_begins_with(const char* text, size_t length, const char* name) {
    size_t name_length = strlen(name);
    if (length < name_length) return false;
    for (size_t i = 0; i < name_length; i++) {
        if (fold_ascii(text[i]) != name[i]) return false;
    }
    return true;
}

int32_t scheme_of(const char* text, size_t length) {
    for (const SchemeRow& row : scheme_table) {
        if (scheme_begins_with(text, length, row.name)) return row.scheme;
    }
    return SCHEME_OTHER;
}

uint16_t default_port(int32_t scheme) {
    if (scheme == SCHEME_NONE) return 80;
    for (const SchemeRow& row : scheme_table) {
        if (row.scheme == scheme) return row.default_port;
    }
    return 0;
}

char* dup_string(const std::string& text) { return str_dup_span(text.data(), text.size()); }

// "name://" at the start of the text: a URL that stands alone.
bool has_scheme(const char* text) {
    const char* p = text;
    if (!((*p >= 'a' && *p <= 'z') || (*p >= 'A' && *p <= 'Z'))) return false;
    while ((*p >= 'a' && *p <= 'z') || (*p >= 'A' && *p <= 'Z') || (*p >= '0' && *p <= '9') || *p == '+' || *p == '-' ||
           *p == '.') {
        p++;
    }
    return strncmp(p, "://", 3) == 0;
}

}  // namespace

uint32_t parse_decimal_span(const char* text, uint32_t start, uint32_t end) {
    uint32_t value = 0;
    for (uint32_t i = start; i < end; i++) value = value * 10 + static_cast<uint32_t>(text[i] - '0');
    return value;
}

bool parse_url(const char* text, ParsedUrl* url) {
    memset(url, 0, sizeof *url);
    if (!text) return false;
    std::cmatch m;
    if (!std::regex_search(text, m, url_pattern())) return false;
    if (m.length(2) > 0) {
        url->scheme = scheme_of(m[2].first, static_cast<size_t>(m.length(2)));
        url->secure = scheme_begins_with(m[2].first, static_cast<size_t>(m.length(2)), "https");
    }
    url->host = str_dup_span(m[5].first, static_cast<size_t>(m.length(5)));
    if (m.length(7) > 0) {
        uint32_t start = static_cast<uint32_t>(m.position(7));
        url->port = static_cast<uint16_t>(parse_decimal_span(text, start, start + static_cast<uint32_t>(m.length(7))));
        url->port_written = true;
    } else {
        url->port = url->secure ? 443 : default_port(url->scheme);
    }
    if (m.length(8) > 0) url->path = str_dup_span(m[8].first, static_cast<size_t>(m.length(8)));
    return true;
}

void free_parsed_url(ParsedUrl* url) {
    free(url->host);
    free(url->path);
    url->host = nullptr;
    url->path = nullptr;
}

char* resolve_location(const char* requested, const char* location) {
    std::cmatch m;
    if (has_scheme(location) || !std::regex_search(requested, m, url_pattern())) {
        return dup_string(location);
    }
    if (location[0] == '/' && location[1] == '/') {
        std::string scheme = m.length(2) > 0 ? m.str(2) : std::string("http");
        return dup_string(scheme + ":" + location);
    }
    // Scheme, host and port as written, then the path relative to the request's.
    std::string target(m[0].first, m[8].first);
    std::string path = m.str(8);
    std::string directory = path.substr(0, path.find('?'));
    if (location[0] == '/') {
        target += location;
    } else if (location[0] == '?') {
        target += (directory.empty() ? std::string("/") : directory) + location;
    } else {
        size_t slash = directory.rfind('/');
        target += slash == std::string::npos ? std::string("/") : directory.substr(0, slash + 1);
        target += location;
    }
    return dup_string(target);
}
