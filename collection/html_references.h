// Character references of HTML text: numeric ones (&#39; &#x2019;) and the
// named ones of HTML 4 (&amp; &nbsp; &eacute; &hellip; ...), plus &apos;.
#pragma once

#include <cstddef>

// At an "&": when a complete reference follows (with its semicolon), writes
// the character it stands for as UTF-8 into `out`, sets `out_length` and
// returns the reference's length in the text; else returns 0. A numeric
// reference to no character (zero, a surrogate, beyond U+10FFFF) stands for
// U+FFFD, as browsers read it. A number has at most 32 digits, so a
// reference takes at most 36 bytes ("&#x", the digits, ";"); reads no further
// than that and never past a zero byte.
size_t decode_reference(const char* text, char out[4], size_t* out_length);
