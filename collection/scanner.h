// The bookmark file scanner: turns a whole HTML bookmark file in memory into
// the few tokens the reader cares about. Text characters come one per token
// (white space folded, character references decoded); the tags that carry
// bookmark structure come as their own kinds, in any letter case; every other
// tag disappears.
#pragma once

#include <cstdint>

enum TokenKind : uint8_t {
    TOK_START,  // never produced: the previous kind before the first token
    TOK_CHAR,   // one text character: a byte, or the UTF-8 of a character reference
    TOK_ANCHOR_OPEN,
    TOK_ANCHOR_CLOSE,
    TOK_DD,
    TOK_DT,
    TOK_DL_OPEN,
    TOK_DL_CLOSE,
    TOK_HEADING_OPEN,
    TOK_HEADING_CLOSE,
    TOK_NETSCAPE_DOCTYPE,
    TOK_END,
};

// One per file being read. The scanner never allocates and never reads past
// the text's terminating zero byte.
struct BookmarkScanner {
    const char* text;         // start of the zero-terminated text
    const char* token_start;  // first byte of the current token
    const char* cursor;       // where the next token begins
    const char* chars;        // the bytes of a TOK_CHAR: in the text, or in `decoded`
    uint32_t char_count;      // 1, or up to 4 for a decoded reference
    TokenKind kind;
    TokenKind previous_kind;
    char decoded[4];  // the character a reference stands for
};

// Points the scanner at the start of a text, before its first token.
void start_scanner(BookmarkScanner* scanner, const char* text);

// Moves to the next token. False (kind TOK_END) once the text is exhausted,
// and on every call after that.
bool next_token(BookmarkScanner* scanner);

// Takes the plain text characters at the cursor (up to the next blank, tag,
// entity or the end) at once, exactly as that many next_token calls would take
// them one by one; returns where they start and sets their count (0 when the
// next token is not such a character). Readers of titles call it before each
// next_token: a title is mostly plain characters.
const char* take_plain_run(BookmarkScanner* scanner, uint32_t* length);

// Makes the next call of next_token return the current token again.
inline void push_back(BookmarkScanner* scanner) { scanner->cursor = scanner->token_start; }
