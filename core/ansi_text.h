// Text from before UTF-8: files that older programs wrote in the system's ANSI
// code page. Windows and POSIX builds each link their own implementation:
// ansi_text_win32.cpp converts from the code page the system's locale names,
// ansi_text_posix.cpp from Windows-1252, the code page of Western Windows
// systems, through iconv.
#pragma once

#include <cstddef>

// The bytes read in the ANSI code page, as an owned, zero-terminated UTF-8
// text (free with free()). Bytes the code page does not define come out as
// the code points of the same value, as Windows converts them.
char* ansi_to_utf8(const char* text, size_t length);

// The text as it is when it is UTF-8 (null), else its conversion.
char* utf8_or_converted(const char* text, size_t length);
