// URL splitting for the probe, and redirect targets.
#include "checker/url.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "core/containers.h"

namespace {

bool is_alpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The length of a written scheme at the start of the text (up to its ':'), or
// 0. "host:8080/x" is a host and port: what follows the ':' up to the path is
// only digits.
size_t scheme_length(const char* text) {
    if (!is_alpha(text[0])) return 0;
    size_t n = 1;
    while (is_alpha(text[n]) || is_digit(text[n]) || text[n] == '+' || text[n] == '-' || text[n] == '.') n++;
    if (text[n] != ':') return 0;
    if (text[n + 1] == '/' && text[n + 2] == '/') return n;
    const char* p = text + n + 1;
    while (is_digit(*p)) p++;
    return *p == '\0' || *p == '/' || *p == '?' || *p == '#' ? 0 : n;
}

bool equals_nocase(const char* text, size_t length, const char* name) {
    if (strlen(name) != length) return false;
    for (size_t i = 0; i < length; i++) {
        if (fold_ascii(text[i]) != name[i]) return false;
    }
    return true;
}

// Bytes a host name may hold as written (names beyond ASCII are looked up as they are).
bool is_host_byte(char c) {
    return is_alpha(c) || is_digit(c) || static_cast<unsigned char>(c) >= 0x80 || strchr("-._~%!$&'()*+,;=", c);
}

// Bytes that may not stand in a request line as they are.
bool needs_encoding(unsigned char c) { return c <= 0x20 || c >= 0x7F || strchr("\"<>\\^`{|}", c); }

// The path and query up to the "#", as a request target.
char* request_target(const char* start, const char* end) {
    static const char hex[] = "0123456789ABCDEF";
    std::string target = start == end || *start == '?' ? "/" : "";
    for (const char* p = start; p < end; p++) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (needs_encoding(c)) {
            target += '%';
            target += hex[c >> 4];
            target += hex[c & 15];
        } else {
            target += static_cast<char>(c);
        }
    }
    return str_dup_span(target.data(), target.size());
}

// Host and port of an authority ("user@host:port"); false when unusable.
bool split_authority(const char* start, const char* end, ParsedUrl* url) {
    for (const char* p = start; p < end; p++) {
        if (*p == '@') start = p + 1;
    }
    const char* colon = end;
    for (const char* p = start; p < end; p++) {
        if (*p == ':') colon = p;
    }
    if (colon == start) return false;
    for (const char* p = start; p < colon; p++) {
        if (!is_host_byte(*p)) return false;
    }
    if (colon + 1 < end) {
        uint32_t port = 0;
        for (const char* p = colon + 1; p < end; p++) {
            if (!is_digit(*p) || (port = port * 10 + static_cast<uint32_t>(*p - '0')) > 65535) return false;
        }
        url->port = static_cast<uint16_t>(port);
        url->port_written = true;
    }
    url->host = str_dup_span(start, static_cast<size_t>(colon - start));
    return true;
}

// The five parts of a URL reference (RFC 3986, appendix B).
struct Reference {
    std::string scheme, authority, path, query, fragment;
    bool has_scheme = false, has_authority = false, has_query = false, has_fragment = false;
};

Reference split_reference(const std::string& text) {
    Reference r;
    size_t at = 0;
    size_t colon = text.find_first_of(":/?#");
    if (colon != std::string::npos && colon > 0 && text[colon] == ':') {
        r.has_scheme = true;
        r.scheme = text.substr(0, colon);
        at = colon + 1;
    }
    if (text.compare(at, 2, "//") == 0) {
        size_t end = text.find_first_of("/?#", at + 2);
        if (end == std::string::npos) end = text.size();
        r.has_authority = true;
        r.authority = text.substr(at + 2, end - at - 2);
        at = end;
    }
    size_t end = text.find_first_of("?#", at);
    if (end == std::string::npos) end = text.size();
    r.path = text.substr(at, end - at);
    at = end;
    if (at < text.size() && text[at] == '?') {
        end = text.find('#', at);
        if (end == std::string::npos) end = text.size();
        r.has_query = true;
        r.query = text.substr(at + 1, end - at - 1);
        at = end;
    }
    if (at < text.size()) {
        r.has_fragment = true;
        r.fragment = text.substr(at + 1);
    }
    return r;
}

// RFC 3986, section 5.2.4.
std::string remove_dot_segments(std::string in) {
    std::string out;
    while (!in.empty()) {
        if (in.compare(0, 3, "../") == 0) {
            in.erase(0, 3);
        } else if (in.compare(0, 2, "./") == 0 || in.compare(0, 3, "/./") == 0) {
            in.erase(0, 2);
        } else if (in == "/.") {
            in = "/";
        } else if (in.compare(0, 4, "/../") == 0 || in == "/..") {
            in = in.size() == 3 ? "/" : in.substr(3);
            size_t slash = out.rfind('/');
            out.erase(slash == std::string::npos ? 0 : slash);
        } else if (in == "." || in == "..") {
            in.clear();
        } else {
            size_t next = in.find('/', 1);
            if (next == std::string::npos) next = in.size();
            out += in.substr(0, next);
            in.erase(0, next);
        }
    }
    return out;
}

std::string recompose(const Reference& r) {
    std::string text = r.scheme + ":";
    if (r.has_authority) text += "//" + r.authority;
    text += r.path;
    if (r.has_query) text += "?" + r.query;
    if (r.has_fragment) text += "#" + r.fragment;
    return text;
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
    while (is_blank(*text)) text++;
    const char* end = text + strlen(text);
    while (end > text && is_blank(end[-1])) end--;
    const char* p = text;
    size_t length = scheme_length(text);
    if (length > 0) {
        url->secure = equals_nocase(text, length, "https");
        url->scheme = url->secure || equals_nocase(text, length, "http") ? SCHEME_HTTP : SCHEME_OTHER;
        p = text + length + 1;
        // A host given by its IPv6 address cannot be reached over IPv4 sockets.
        if (url->scheme == SCHEME_OTHER || strncmp(p, "//[", 3) == 0) {
            url->scheme = SCHEME_OTHER;
            return true;
        }
        if (strncmp(p, "//", 2) != 0) return false;
        p += 2;
    }
    const char* authority_end = p;
    while (authority_end < end && !strchr("/?#", *authority_end)) authority_end++;
    url->port = url->secure ? 443 : 80;
    if (!split_authority(p, authority_end, url)) {
        free_parsed_url(url);
        return false;
    }
    const char* fragment =
        static_cast<const char*>(memchr(authority_end, '#', static_cast<size_t>(end - authority_end)));
    url->path = request_target(authority_end, fragment ? fragment : end);
    return true;
}

void free_parsed_url(ParsedUrl* url) {
    free(url->host);
    free(url->path);
    url->host = nullptr;
    url->path = nullptr;
}

char* resolve_location(const char* requested, const char* location) {
    while (is_blank(*location)) location++;
    std::string relative = location;
    while (!relative.empty() && is_blank(relative.back())) relative.pop_back();
    std::string base_text = requested;
    if (scheme_length(requested) == 0) base_text = "http://" + base_text;
    Reference base = split_reference(base_text);
    Reference r = split_reference(relative);
    Reference t;
    if (r.has_scheme) {
        t = r;
        t.path = remove_dot_segments(r.path);
    } else {
        if (r.has_authority) {
            t = r;
            t.path = remove_dot_segments(r.path);
        } else {
            t = base;
            t.has_query = r.has_query || (r.path.empty() && base.has_query);
            t.query = r.has_query ? r.query : base.query;
            if (r.path.empty()) {
                t.path = base.path;
            } else if (r.path[0] == '/') {
                t.path = remove_dot_segments(r.path);
            } else if (base.has_authority && base.path.empty()) {
                t.path = remove_dot_segments("/" + r.path);
            } else {
                size_t slash = base.path.rfind('/');
                t.path = remove_dot_segments(base.path.substr(0, slash == std::string::npos ? 0 : slash + 1) + r.path);
            }
        }
        t.scheme = base.scheme;
    }
    t.has_fragment = r.has_fragment;
    t.fragment = r.fragment;
    std::string target = recompose(t);
    return str_dup_span(target.data(), target.size());
}
