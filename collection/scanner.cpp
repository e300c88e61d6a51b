// The bookmark file scanner: a hand-written matcher for the handful of tag
// shapes that bookmark files use. Each call consumes one token; skipped
// white space and unrecognised tags are consumed within the same call.
#include "collection/scanner.h"

#include <cstring>

#include "collection/html_references.h"
#include "core/containers.h"

namespace {

constexpr bool is_space(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; }

bool is_upper_pair(char c, char upper) { return c == upper || c == upper + 32; }

bool is_heading_digit(char c) { return c >= '1' && c <= '6'; }

const char* skip_space(const char* p) {
    while (is_space(*p)) p++;
    return p;
}

// At a double quote: the position behind the closing quote, or null when the
// text ends inside the value.
const char* match_quoted(const char* p) {
    if (*p != '"') return nullptr;
    const char* close = strchr(p + 1, '"');
    return close ? close + 1 : nullptr;
}

// ws, letters, ws, "=", ws, quoted value: the position behind it, or null.
const char* match_attribute(const char* p) {
    p = skip_space(p);
    if (!is_ascii_letter(*p)) return nullptr;
    while (is_ascii_letter(*p)) p++;
    p = skip_space(p);
    if (*p != '=') return nullptr;
    return match_quoted(skip_space(p + 1));
}

// The position behind the first '>' at or after p, or null.
const char* match_to_close(const char* p) {
    const char* close = strchr(p, '>');
    return close ? close + 1 : nullptr;
}

// "At most one attribute, then anything but '>', then '>'", longest match:
// a '>' inside that one attribute's value does not end the tag.
const char* match_attribute_then_close(const char* p) {
    const char* after = match_attribute(p);
    if (after) {
        const char* end = match_to_close(after);
        if (end) return end;
    }
    return match_to_close(p);
}

// At "<" followed by A or a: HREF="url" first, then the common tail.
const char* match_anchor_open(const char* p) {
    p = skip_space(p + 2);
    if (!is_upper_pair(p[0], 'H') || !is_upper_pair(p[1], 'R') || !is_upper_pair(p[2], 'E') ||
        !is_upper_pair(p[3], 'F') || p[4] != '=') {
        return nullptr;
    }
    const char* after_url = match_quoted(p + 5);
    return after_url ? match_attribute_then_close(after_url) : nullptr;
}

const char kNetscapeDoctype[] = "<!DOCTYPE NETSCAPE-Bookmark-file-1>";

// Whether the text at p is the literal, letters in any case.
bool matches_nocase(const char* p, const char* literal) {
    for (; *literal; p++, literal++) {
        if (fold_ascii(*p) != fold_ascii(*literal)) return false;
    }
    return true;
}

// At '<': the recognised tag's kind and its end, or false for any other tag.
bool match_tag(const char* p, TokenKind* kind, const char** end) {
    const char c1 = p[1];
    if (is_upper_pair(c1, 'A')) {
        *kind = TOK_ANCHOR_OPEN;
        *end = match_anchor_open(p);
        return *end != nullptr;
    }
    if (is_upper_pair(c1, 'D')) {
        if (is_upper_pair(p[2], 'D')) {
            *kind = TOK_DD;
        } else if (is_upper_pair(p[2], 'T')) {
            *kind = TOK_DT;
        } else if (is_upper_pair(p[2], 'L')) {
            *kind = TOK_DL_OPEN;
        } else {
            return false;
        }
        *end = p + 4;
        return p[3] == '>';
    }
    if (is_upper_pair(c1, 'H')) {
        if (!is_heading_digit(p[2])) return false;
        *kind = TOK_HEADING_OPEN;
        *end = match_attribute_then_close(p + 3);
        return *end != nullptr;
    }
    if (c1 == '/') {
        if (is_upper_pair(p[2], 'A') && p[3] == '>') {
            *kind = TOK_ANCHOR_CLOSE;
            *end = p + 4;
            return true;
        }
        if (is_upper_pair(p[2], 'D') && is_upper_pair(p[3], 'L') && p[4] == '>') {
            *kind = TOK_DL_CLOSE;
            *end = p + 5;
            return true;
        }
        if (is_upper_pair(p[2], 'H') && is_heading_digit(p[3]) && p[4] == '>') {
            *kind = TOK_HEADING_CLOSE;
            *end = p + 5;
            return true;
        }
        return false;
    }
    if (c1 == '!' && matches_nocase(p, kNetscapeDoctype)) {
        *kind = TOK_NETSCAPE_DOCTYPE;
        *end = p + sizeof kNetscapeDoctype - 1;
        return true;
    }
    return false;
}

// Bytes that are a text character token by themselves: not the end, a blank,
// a tag start or an entity start.
struct PlainBytes {
    bool is[256];
    constexpr PlainBytes() : is() {
        for (int c = 1; c < 256; c++) {
            const char byte = static_cast<char>(c);
            is[c] = !is_space(byte) && byte != '<' && byte != '&';
        }
    }
};

constexpr PlainBytes kPlain;

}  // namespace

const char* take_plain_run(BookmarkScanner* scanner, uint32_t* length) {
    const char* start = scanner->cursor;
    const char* p = start;
    while (kPlain.is[static_cast<unsigned char>(*p)]) p++;
    *length = static_cast<uint32_t>(p - start);
    if (p == start) return start;
    scanner->previous_kind = p - start > 1 ? TOK_CHAR : scanner->kind;
    scanner->kind = TOK_CHAR;
    scanner->token_start = p - 1;
    scanner->chars = p - 1;
    scanner->char_count = 1;
    scanner->cursor = p;
    return start;
}

void start_scanner(BookmarkScanner* scanner, const char* text) {
    scanner->text = text;
    scanner->token_start = text;
    scanner->cursor = text;
    scanner->chars = text;
    scanner->char_count = 0;
    scanner->kind = TOK_START;
    scanner->previous_kind = TOK_START;
}

bool next_token(BookmarkScanner* scanner) {
    scanner->previous_kind = scanner->kind;
    const char* p = scanner->cursor;
    for (;;) {
        scanner->token_start = p;
        const char c = *p;
        if (c == '\0') {
            scanner->cursor = p;
            scanner->kind = TOK_END;
            return false;
        }
        if (is_space(c)) {
            p = skip_space(p + 1);
            if (scanner->previous_kind != TOK_CHAR) continue;
            scanner->cursor = p;
            scanner->chars = " ";
            scanner->char_count = 1;
            scanner->kind = TOK_CHAR;
            return true;
        }
        if (c == '<') {
            TokenKind kind;
            const char* end;
            if (match_tag(p, &kind, &end)) {
                scanner->cursor = end;
                scanner->kind = kind;
                return true;
            }
            // An unrecognised tag vanishes up to its first '>', quoted or not.
            const char* close = strchr(p, '>');
            p = close ? close + 1 : p + strlen(p);
            continue;
        }
        scanner->kind = TOK_CHAR;
        scanner->chars = p;
        scanner->char_count = 1;
        scanner->cursor = p + 1;
        if (c == '&') {
            size_t length;
            if (const size_t consumed = decode_reference(p, scanner->decoded, &length)) {
                scanner->chars = scanner->decoded;
                scanner->char_count = static_cast<uint32_t>(length);
                scanner->cursor = p + consumed;
            }
        }
        return true;
    }
}
