// URL hosts and page keys.
#include "collection/page_address.h"

#include <cstdlib>
#include <cstring>

#include "core/containers.h"

namespace {

// The one list of tracking parameters: advertisers' click identifiers and
// mail campaigns' markers. Names that begin with "utm_" are tracking as well.
const char* const kTrackingParameters[] = {"fbclid", "gclid",  "dclid", "gbraid", "wbraid", "msclkid", "mc_cid",
                                           "mc_eid", "igshid", "yclid", "twclid", "_hsenc", "_hsmi",   "mkt_tok"};

bool equal_nocase(const char* a, size_t length, const char* b) {
    if (strlen(b) != length) return false;
    for (size_t i = 0; i < length; i++) {
        if (fold_ascii(a[i]) != b[i]) return false;
    }
    return true;
}

bool is_scheme_char(char c) { return is_ascii_letter(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'; }

// The parts of scheme://[user@]host[:port]path?query#fragment, as spans of the text.
struct UrlSpans {
    size_t scheme_end;  // the colon after the scheme
    size_t user_start;  // after "//"
    size_t host_start;  // after "user@", else user_start
    size_t host_end;    // before ":port"
    size_t port_start;  // after the colon; == authority_end when none
    size_t authority_end;
    size_t path_end;   // at "?", "#" or the end
    size_t query_end;  // at "#" or the end
};

bool split_url(const char* url, UrlSpans* s) {
    if (!is_ascii_letter(url[0])) return false;
    size_t i = 1;
    while (is_scheme_char(url[i])) i++;
    if (url[i] != ':' || url[i + 1] != '/' || url[i + 2] != '/') return false;
    s->scheme_end = i;
    s->user_start = i + 3;
    s->authority_end = s->user_start + strcspn(url + s->user_start, "/?#");
    s->host_start = s->user_start;
    for (size_t k = s->user_start; k < s->authority_end; k++) {
        if (url[k] == '@') s->host_start = k + 1;
    }
    // An IPv6 address holds colons of its own: the port comes after its bracket.
    size_t port_search = s->host_start;
    if (url[s->host_start] == '[') {
        const char* close =
            static_cast<const char*>(memchr(url + s->host_start, ']', s->authority_end - s->host_start));
        if (close) port_search = static_cast<size_t>(close - url);
    }
    s->host_end = s->authority_end;
    for (size_t k = s->authority_end; k > port_search; k--) {
        if (url[k - 1] == ':') {
            s->host_end = k - 1;
            break;
        }
    }
    s->port_start = s->host_end < s->authority_end ? s->host_end + 1 : s->authority_end;
    s->path_end = s->authority_end + strcspn(url + s->authority_end, "?#");
    s->query_end = s->path_end + strcspn(url + s->path_end, "#");
    return true;
}

// Whether the port as written is the scheme's default: an empty port is too.
bool is_default_port(const char* port, size_t length, unsigned default_port) {
    unsigned value = 0;
    for (size_t i = 0; i < length; i++) {
        if (port[i] < '0' || port[i] > '9') return false;
        value = value * 10 + static_cast<unsigned>(port[i] - '0');
        if (value > 65535) return false;
    }
    return value == default_port || length == 0;
}

void append_query(std::string* key, const char* query, size_t length) {
    bool first = true;
    for (size_t at = 0; at <= length;) {
        size_t end = at;
        while (end < length && query[end] != '&') end++;
        const size_t name_length = strcspn(query + at, "=&#");
        // Empty parameters ("a=1&&b", a lone "?") carry nothing.
        if (end > at && !is_tracking_parameter(query + at, name_length < end - at ? name_length : end - at)) {
            *key += first ? '?' : '&';
            key->append(query + at, end - at);
            first = false;
        }
        at = end + 1;
    }
}

}  // namespace

bool url_host(const char* url, const char** host, size_t* length) {
    UrlSpans s;
    if (!split_url(url, &s)) return false;
    size_t end = s.host_end;
    while (end > s.host_start && url[end - 1] == '.') end--;
    *host = url + s.host_start;
    *length = end - s.host_start;
    return true;
}

std::string idna_host(const std::string& host, HostToAscii to_ascii) {
    // Few hosts are written beyond ASCII: only these are converted.
    bool ascii = true;
    for (char c : host) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    char* converted = to_ascii && !ascii ? to_ascii(host.c_str()) : nullptr;
    if (!converted) return std::string();
    std::string folded(converted);
    free(converted);
    for (char& c : folded) c = fold_ascii(c);
    return folded;
}

std::string page_key(const char* url, HostToAscii to_ascii) {
    UrlSpans s;
    if (!split_url(url, &s)) return url;
    const bool http = equal_nocase(url, s.scheme_end, "http");
    if (!http && !equal_nocase(url, s.scheme_end, "https")) return url;
    // No scheme: both are one, and a key is never taken for a URL.
    std::string key = "//";
    key.append(url + s.user_start, s.host_start - s.user_start);
    std::string host(url + s.host_start, s.host_end - s.host_start);
    for (char& c : host) c = fold_ascii(c);
    std::string ascii = idna_host(host, to_ascii);
    if (!ascii.empty()) host.swap(ascii);
    // "www.example.org" and "example.org" are one site; "www.example" keeps its name.
    size_t skip = 0;
    while (host.compare(skip, 4, "www.") == 0 && host.find('.', skip + 4) != std::string::npos) skip += 4;
    key.append(host, skip, std::string::npos);
    const size_t port_length = s.authority_end - s.port_start;
    if (s.host_end < s.authority_end && !is_default_port(url + s.port_start, port_length, http ? 80 : 443)) {
        key += ':';
        key.append(url + s.port_start, port_length);
    }
    if (s.path_end == s.authority_end) {
        key += '/';
    } else {
        key.append(url + s.authority_end, s.path_end - s.authority_end);
    }
    if (s.path_end < s.query_end) append_query(&key, url + s.path_end + 1, s.query_end - s.path_end - 1);
    return key;
}

bool is_tracking_parameter(const char* name, size_t length) {
    if (length >= 4 && equal_nocase(name, 4, "utm_")) return true;
    for (const char* tracking : kTrackingParameters) {
        if (equal_nocase(name, length, tracking)) return true;
    }
    return false;
}
