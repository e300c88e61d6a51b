// Splitting a bookmark's URL into scheme, host, port and path for the probe,
// and resolving the targets of redirects.
#pragma once

#include <cstdint>

// Values of ParsedUrl::scheme.
const int32_t SCHEME_NONE = 0;  // no scheme written: probed as http
const int32_t SCHEME_HTTP = 1;  // any scheme that begins with "http", "https" included
const int32_t SCHEME_FTP = 2;
const int32_t SCHEME_FILE = 3;
const int32_t SCHEME_OTHER = 4;  // written, but none of the above: not probed

struct ParsedUrl {
    int32_t scheme;
    char* host;         // owned, as written
    char* path;         // owned; from the first character after host and port up to a
                        // "#", query included; null when empty
    uint16_t port;      // as written, else the scheme's default
    bool port_written;  // the URL names its port
    bool secure;        // the scheme begins with "https": the exchange runs over TLS
};

// Fills *url from the first match of the URL pattern anywhere in the text.
// False for a null text or one without a match; *url is then zero-filled and
// owns nothing. Release with free_parsed_url in every case.
bool parse_url(const char* text, ParsedUrl* url);
void free_parsed_url(ParsedUrl* url);

// The decimal value of text[start, end), each character taken as digit - '0'
// without a test that it is a digit; 0 when end <= start. Wraps at 32 bits.
uint32_t parse_decimal_span(const char* text, uint32_t start, uint32_t end);

// The URL that a Location value leads to from the URL that was requested. A
// value with a scheme ("name://") stands alone; "//host/path" keeps the scheme;
// "/path" keeps scheme, host and port; any other value replaces the last
// segment of the requested path. The result is malloc'd; the caller frees it.
char* resolve_location(const char* requested, const char* location);
