// What the platform's character data says about one character of the Basic
// Multilingual Plane beyond ASCII: a link-time seam. letter_case_posix.cpp asks
// utf8proc (Unicode's categories and simple case mappings), letter_case_win32.cpp
// asks the system (GetStringTypeW and LCMapStringEx). search/letters.cpp applies
// the rules that make both give the same words; nothing else calls this.
#pragma once

#include <cstdint>

enum CharKind : uint8_t {
    CHAR_SEPARATOR,  // punctuation, symbols, controls, unassigned: between words
    CHAR_WORD,       // letters, combining marks and numbers: inside words
    CHAR_SPACE,      // white space: between words and between title tokens
};

struct PlatformCase {
    uint32_t lower;  // the simple lower-case mapping, the character itself when none
    uint32_t upper;  // the simple upper-case mapping, the character itself when none
};

// For 0x80 <= code_point <= 0xFFFF.
CharKind platform_kind(uint32_t code_point);
PlatformCase platform_case(uint32_t code_point);
