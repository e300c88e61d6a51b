// Splitting a bookmark's URL into what the probe needs (host, port, request
// target), and resolving the targets of redirects.
#pragma once

#include <cstdint>

// Values of ParsedUrl::scheme.
const int32_t SCHEME_NONE = 0;   // no scheme written: probed as http
const int32_t SCHEME_HTTP = 1;   // http or https
const int32_t SCHEME_OTHER = 4;  // mailto:, file:, ftp:, javascript: and every other: never probed

struct ParsedUrl {
    int32_t scheme;
    char* host;         // owned, as written; null for SCHEME_OTHER
    char* path;         // owned: the request target, the path and query as written up to a "#"
                        // ("/" when empty), bytes a request line may not hold percent-encoded;
                        // null for SCHEME_OTHER
    uint16_t port;      // as written, else the scheme's default
    bool port_written;  // the URL names its port
    bool secure;        // https: the exchange runs over TLS
};

// Fills *url from the text (blanks around it ignored). A text such as
// "host:8080/x" names no scheme; "name:" followed by anything but a port does.
// False for a null text and for an http or https URL that names no usable
// host or port (above 65535, or not digits); *url then owns nothing. Release
// with free_parsed_url in every case.
bool parse_url(const char* text, ParsedUrl* url);
void free_parsed_url(ParsedUrl* url);

// The decimal value of text[start, end), each character taken as digit - '0'
// without a test that it is a digit; 0 when end <= start. Wraps at 32 bits.
uint32_t parse_decimal_span(const char* text, uint32_t start, uint32_t end);

// The URL that a Location value leads to from the URL that was requested, as
// RFC 3986 resolves a reference (a URL without a scheme counts as http). The
// result is malloc'd; the caller frees it.
char* resolve_location(const char* requested, const char* location);
