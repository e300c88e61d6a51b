// Which page a bookmark's URL names: the host it names, for searches by site,
// and the key under which two URLs are the same page, for finding duplicates.
#pragma once

#include <cstddef>
#include <string>

// The host of a URL of the form scheme://[user@]host[:port][/...] as written,
// without its port or trailing periods (an IPv6 address keeps its brackets).
// False for a URL without "//" after its scheme (mailto:, or no scheme at all).
bool url_host(const char* url, const char** host, size_t* length);

// A host's IDNA form (malloc'd; null when it has none). The program passes the
// checker's host_ascii, which this layer does not include.
typedef char* (*HostToAscii)(const char* host);

// The IDNA form, in lower case, of a host written beyond ASCII; empty for an
// ASCII host, without to_ascii, or when the host has no such form.
std::string idna_host(const std::string& host, HostToAscii to_ascii);

// The same text for two URLs of the same page. Only http and https URLs are
// normalised, and only in ways no site tells apart: the scheme and host in
// lower case, http and https alike, a leading "www." and the scheme's default
// port dropped, an empty path taken as "/", the fragment and the tracking
// parameters dropped. Every other parameter stays as written and in its place,
// and every other URL is its own key. The key of an http or https URL begins
// with "//" and names no scheme. Given to_ascii, a host written beyond ASCII
// is taken in its IDNA form, so that it and its "xn--" spelling are one.
std::string page_key(const char* url, HostToAscii to_ascii = nullptr);

// Whether a query parameter of this name is a tracking parameter, which says
// where a visitor came from and nothing of which page they see.
bool is_tracking_parameter(const char* name, size_t length);
