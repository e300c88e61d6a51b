// The form of a host name that name lookups, Host headers and TLS take: an
// internationalised name such as "bücher.example" becomes its IDNA form
// ("xn--bcher-kva.example"); a name of ASCII characters only (percent-encoded
// ones included) is taken as written. host_ascii.cpp holds the portable part;
// host_ascii_posix.cpp (libidn2) and host_ascii_win32.cpp (IdnToAscii) each
// define idna_to_ascii, and the build picks one.
#pragma once

// malloc'd (the caller frees it); null when the name cannot be converted.
char* host_ascii(const char* host);

// The platform's conversion of a UTF-8 name that holds other than ASCII
// characters: malloc'd, or null when it is no valid name.
char* idna_to_ascii(const char* host);
