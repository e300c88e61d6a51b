// Reading HTML bookmark files: a small parser over the scanner's tokens that
// assembles one bookmark per anchor (URL, dates and tags from the tag, title up
// to the anchor end, description after <DD>) and, in Netscape files, keeps the
// stack of enclosing folder names.
#include "collection/bookmark_reader.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "collection/collection.h"
#include "collection/collection_file.h"
#include "collection/html_references.h"
#include "collection/import_report.h"
#include "collection/scanner.h"
#include "core/ansi_text.h"
#include "core/bookmark.h"
#include "core/whole_file.h"

namespace {

// One attribute of a tag that has a value.
struct Attribute {
    const char* name;
    size_t name_length;
    const char* value;
    size_t value_length;
    bool double_quoted;  // the value stood in double quotes, closed
};

// Classes of the bytes of a tag, one table lookup per byte: anchors are read
// for every bookmark of every file.
enum TagByte : uint8_t {
    TAG_SPACE = 1,
    NAME_END = 2,   // ends an attribute's name: white space, '=', '>', quotes and the end
    VALUE_END = 4,  // ends an unquoted value: white space, '>' and the end
};

struct TagBytes {
    uint8_t of[256];
    constexpr TagBytes() : of() {
        for (char c : {' ', '\t', '\r', '\n'}) of[static_cast<unsigned char>(c)] = TAG_SPACE | NAME_END | VALUE_END;
        for (char c : {'=', '"', '\''}) of[static_cast<unsigned char>(c)] = NAME_END;
        for (char c : {'>', '\0'}) of[static_cast<unsigned char>(c)] = NAME_END | VALUE_END;
    }
};

constexpr TagBytes kTagBytes;

bool has_tag_class(char c, uint8_t classes) { return (kTagBytes.of[static_cast<unsigned char>(c)] & classes) != 0; }

const char* skip_tag_space(const char* p) {
    while (has_tag_class(*p, TAG_SPACE)) p++;
    return p;
}

// Reads the next attribute with a value from *p and moves past it; false at
// the tag's end ('>' or the end of the text). Attributes without a value, and
// stray quoted runs where a name should be, are passed over.
bool next_attribute(const char** p, Attribute* a) {
    const char* at = *p;
    for (;;) {
        at = skip_tag_space(at);
        if (*at == '"' || *at == '\'') {
            const char* close = strchr(at + 1, *at);
            at = close ? close + 1 : at + strlen(at);
            continue;
        }
        if (*at == '\0' || *at == '>') return false;
        a->name = at;
        while (!has_tag_class(*at, NAME_END)) at++;
        a->name_length = static_cast<size_t>(at - a->name);
        const char* after_name = skip_tag_space(at);
        if (*after_name == '=') {
            at = skip_tag_space(after_name + 1);
            break;
        }
    }
    if (*at == '"' || *at == '\'') {
        const char quote = *at;
        a->value = at + 1;
        const char* close = strchr(a->value, quote);
        a->double_quoted = close && quote == '"';
        at = close ? close : a->value + strlen(a->value);
        a->value_length = static_cast<size_t>(at - a->value);
        if (close) at++;
    } else {
        a->value = at;
        a->double_quoted = false;
        while (!has_tag_class(*at, VALUE_END)) at++;
        a->value_length = static_cast<size_t>(at - a->value);
    }
    *p = at;
    return true;
}

constexpr char upper_ascii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

// Whether the attribute has this name (given in capitals), in any letter case.
template <size_t N>
bool attribute_is(const Attribute& a, const char (&name)[N]) {
    if (a.name_length != N - 1) return false;
    // Exports write their names in capitals: one comparison settles most.
    if (memcmp(a.name, name, N - 1) == 0) return true;
    for (size_t i = 0; i < N - 1; i++) {
        if (upper_ascii(a.name[i]) != name[i]) return false;
    }
    return true;
}

// The number the eight bytes at p spell when all eight are digits: one word
// of eight bytes at once, as every date read takes its first eight digits.
bool read_eight_digits(const char* p, uint64_t* value) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    uint64_t v;
    memcpy(&v, p, sizeof v);
    if ((((v & 0xF0F0F0F0F0F0F0F0ull) | (((v + 0x0606060606060606ull) & 0xF0F0F0F0F0F0F0F0ull) >> 4))) !=
        0x3333333333333333ull) {
        return false;
    }
    v = ((v & 0x0F0F0F0F0F0F0F0Full) * 2561) >> 8;
    v = ((v & 0x00FF00FF00FF00FFull) * 6553601) >> 16;
    *value = ((v & 0x0000FFFF0000FFFFull) * 42949672960001ull) >> 32;
    return true;
#else
    (void)p;
    (void)value;
    return false;
#endif
}

// Decimal digits at the value's start, as seconds. Numbers too large for
// seconds are milliseconds, microseconds or nanoseconds: each step divides by
// a thousand until the number fits; one that never fits, or has more digits
// than any of them, counts as no date. No digits give 0.
uint32_t read_date(const Attribute& a) {
    const size_t kMostDigits = 19;  // nanoseconds until the year 2286
    // A value always ends in a byte that is no digit (its quote, a blank, '>'
    // or the text's end), and more digits than fit are no date anyway.
    uint64_t value = 0;
    const char* p = a.value;
    if (a.value_length >= 8 && read_eight_digits(p, &value)) p += 8;
    for (; *p >= '0' && *p <= '9'; p++) value = value * 10 + static_cast<uint64_t>(*p - '0');
    if (static_cast<size_t>(p - a.value) > kMostDigits) return DATE_UNSET;
    for (int step = 0; step < 3 && value > UINT32_MAX; step++) value /= 1000;
    return value > UINT32_MAX ? DATE_UNSET : static_cast<uint32_t>(value);
}

// TAGS="a,b": each tag with its references decoded, separated by spaces.
void take_tags(AnchorAttributes* anchor, const Attribute& a) {
    TextBuffer* tags = &anchor->tags;
    for (size_t i = 0; i < a.value_length; i++) {
        const char c = a.value[i];
        char decoded[4];
        size_t length;
        size_t consumed = c == '&' ? decode_reference(a.value + i, decoded, &length) : 0;
        if (consumed > 0 && i + consumed <= a.value_length) {
            tb_append(tags, decoded, static_cast<uint32_t>(length));
            i += consumed - 1;
        } else if (c == ',') {
            tb_append_char(tags, ' ');
        } else {
            tb_append_char(tags, c);
        }
    }
}

// A number of the check attributes; 0 for anything but a real date.
uint32_t read_number(const Attribute& a) {
    uint32_t value = read_date(a);
    return is_real_date(value) ? value : 0;
}

// The attributes of the last status check, which browsers pass over.
void take_check_attribute(AnchorAttributes* anchor, const Attribute& a) {
    StoredCheck* check = &anchor->check;
    if (attribute_is(a, "LAST_CHECK")) {
        check->last_check = read_number(a);
    } else if (attribute_is(a, "CHECK_VERDICT")) {
        check->verdict = verdict_named(a.value, a.value_length);
    } else if (attribute_is(a, "CHECK_STATUS")) {
        uint32_t status = read_number(a);
        check->http_status = status <= 999 ? static_cast<uint16_t>(status) : 0;
    } else if (attribute_is(a, "CHECK_ERROR")) {
        check->check_error = check_error_named(a.value, a.value_length);
    } else if (attribute_is(a, "FIRST_FAILURE")) {
        check->first_failure = read_number(a);
    } else if (attribute_is(a, "MOVED_TO")) {
        check->moved_to = a.value;
        anchor->moved_to_length = a.value_length;
    }
}

enum Flow { GO_ON, FINISH };

struct Parser {
    Collection* collection;
    bool automatic;
    BookmarkScanner scanner;
    AnchorAttributes anchor;
    const char* anchor_start;  // the current anchor's tag, to tell where a skipped entry stood
    TextBuffer title;
    TextBuffer description;
    bool folder_mode;
    PtrVector* folders;  // TextBlock* of the open folders' full names, innermost last
    ImportReport* report;
    const char* counted_to;  // lines are counted up to here
    uint32_t line;           // the line `counted_to` is on
};

// "line N" of the current anchor (lines are counted only when asked for, and
// anchors come in order of position).
void describe_anchor_line(Parser* parser, char* where, size_t size) {
    for (const char* p = parser->counted_to; p < parser->anchor_start; p++) {
        if (*p == '\n') parser->line++;
    }
    parser->counted_to = parser->anchor_start;
    snprintf(where, size, "line %u", parser->line);
}

// Notes a skipped anchor with its line and URL.
void skip_anchor(Parser* parser, const char* why) {
    if (!parser->report) return;
    char where[32];
    describe_anchor_line(parser, where, sizeof where);
    TextBuffer text = tb_empty();
    tb_append_str(&text, why);
    if (tb_length(parser->anchor.url) > 0) {
        tb_append_str(&text, ": ");
        tb_append_str(&text, tb_text(parser->anchor.url));
    }
    note_skipped(parser->report, where, tb_text(text));
    tb_free(&text);
}

// The bytes of the current character token, appended to a text.
void append_token_chars(const BookmarkScanner* scanner, TextBuffer* text) {
    if (scanner->char_count == 1) {
        tb_append_char(text, scanner->chars[0]);
    } else {
        tb_append(text, scanner->chars, scanner->char_count);
    }
}

void append_innermost_folder(Parser* parser, TextBuffer* text) {
    const PtrVector* folders = parser->folders;
    if (folders->count == 0) return;
    const TextBlock* top = static_cast<const TextBlock*>(folders->items[folders->count - 1]);
    tb_append_char(text, ' ');
    tb_append(text, top->text, top->length);
}

void clear_anchor(Parser* parser) {
    tb_clear(&parser->anchor.url);
    tb_clear(&parser->anchor.tags);
    tb_clear(&parser->title);
    tb_clear(&parser->description);
}

// Hands the assembled bookmark over unless its URL is empty or only a
// reference within a page, and empties the texts for the next anchor. Blanks
// before the "#" do not count: add_or_merge trims them, and the stored "#..."
// would then vanish when the collection file is read back.
void deliver_bookmark(Parser* parser) {
    const char* url = tb_text(parser->anchor.url);
    const char* first = url;
    while (isspace(static_cast<unsigned char>(*first))) first++;
    if (*first == '#') {
        skip_anchor(parser, "a link within a page");
    } else {
        StoredCheck check = parser->anchor.check;
        char* moved_to = check.moved_to ? str_dup_span(check.moved_to, parser->anchor.moved_to_length) : nullptr;
        check.moved_to = moved_to;
        const AddOutcome outcome = add_or_merge(
            parser->collection, str_dup(tb_text(parser->title)), str_dup(url), tb_text(parser->description),
            parser->anchor.added, parser->anchor.last_visit, parser->anchor.last_modified, parser->automatic, &check);
        free(moved_to);
        if (outcome == ADD_SKIPPED) {
            skip_anchor(parser, IMPORT_NO_ADDRESS);
        } else {
            count_outcome(parser->report, outcome, nullptr);
        }
    }
    clear_anchor(parser);
}

// Tags and, in folder mode, the innermost folder's full name follow the
// description, so that they become keywords as the description does.
void join_tags_and_folders(Parser* parser) {
    if (tb_length(parser->anchor.tags) > 0) {
        tb_append_char(&parser->description, ' ');
        tb_append(&parser->description, tb_text(parser->anchor.tags), tb_length(parser->anchor.tags));
    }
    if (parser->folder_mode) append_innermost_folder(parser, &parser->description);
}

// Plain characters ahead go to the text in one piece.
void append_plain_run(BookmarkScanner* scanner, TextBuffer* text) {
    uint32_t length;
    const char* run = take_plain_run(scanner, &length);
    if (length > 0) tb_append(text, run, length);
}

// At an anchor start tag: title up to the anchor end, then an optional
// description, which runs to the next <DT> or </DL>.
Flow read_bookmark(Parser* parser) {
    BookmarkScanner* scanner = &parser->scanner;
    parser->anchor_start = scanner->token_start;
    if (!parse_anchor_attributes(&parser->anchor, scanner->token_start)) {
        clear_anchor(parser);
        return GO_ON;
    }
    for (;;) {
        append_plain_run(scanner, &parser->title);
        // Cut off inside the title: the anchor is dropped.
        if (!next_token(scanner)) {
            skip_anchor(parser, "cut off by the end of the file");
            clear_anchor(parser);
            return FINISH;
        }
        if (scanner->kind == TOK_ANCHOR_CLOSE) break;
        if (scanner->kind == TOK_CHAR) append_token_chars(scanner, &parser->title);
    }
    next_token(scanner);
    if (scanner->kind == TOK_DD) {
        for (;;) {
            append_plain_run(scanner, &parser->description);
            if (!next_token(scanner)) {
                join_tags_and_folders(parser);
                deliver_bookmark(parser);
                return FINISH;
            }
            if (scanner->kind == TOK_CHAR) {
                append_token_chars(scanner, &parser->description);
            } else if (scanner->kind == TOK_DT || scanner->kind == TOK_DL_CLOSE) {
                break;
            }
        }
    }
    push_back(scanner);
    join_tags_and_folders(parser);
    deliver_bookmark(parser);
    return GO_ON;
}

// At <DT> in a Netscape file: a heading followed by <DL> opens a folder.
Flow read_folder_heading(Parser* parser) {
    BookmarkScanner* scanner = &parser->scanner;
    next_token(scanner);
    if (scanner->kind != TOK_HEADING_OPEN) {
        push_back(scanner);
        return GO_ON;
    }
    TextBuffer name = tb_empty();
    while (next_token(scanner) && scanner->kind == TOK_CHAR) append_token_chars(scanner, &name);
    if (scanner->kind != TOK_HEADING_CLOSE) {
        // The token that ended the name is consumed.
        tb_free(&name);
        return scanner->kind == TOK_END ? FINISH : GO_ON;
    }
    // Browsers write a folder's description as <DD> text between the heading
    // and its list; the folder still encloses what follows.
    while (next_token(scanner) && (scanner->kind == TOK_CHAR || scanner->kind == TOK_DD)) {
    }
    push_back(scanner);
    if (scanner->kind != TOK_DL_OPEN) {
        tb_free(&name);
        return GO_ON;
    }
    append_innermost_folder(parser, &name);
    vec_append(parser->folders, name);
    return GO_ON;
}

void pop_folder(Parser* parser) {
    PtrVector* folders = parser->folders;
    if (folders->count == 0) return;
    TextBuffer top = static_cast<TextBlock*>(folders->items[folders->count - 1]);
    vec_remove_at(folders, folders->count - 1);
    tb_free(&top);
}

}  // namespace

bool parse_anchor_attributes(AnchorAttributes* anchor, const char* tag) {
    anchor->added = DATE_UNSET;
    anchor->last_visit = DATE_UNSET;
    anchor->last_modified = DATE_UNSET;
    anchor->check = StoredCheck{};
    anchor->moved_to_length = 0;
    bool have_url = false;
    const char* p = tag + 2;  // past "<A"
    Attribute a;
    while (next_attribute(&p, &a)) {
        if (attribute_is(a, "HREF")) {
            if (!have_url && a.double_quoted) tb_append(&anchor->url, a.value, static_cast<uint32_t>(a.value_length));
            have_url = have_url || a.double_quoted;
        } else if (attribute_is(a, "ADD_DATE")) {
            anchor->added = read_date(a);
        } else if (attribute_is(a, "LAST_VISIT")) {
            anchor->last_visit = read_date(a);
        } else if (attribute_is(a, "LAST_MODIFIED")) {
            anchor->last_modified = read_date(a);
        } else if (attribute_is(a, "TAGS")) {
            take_tags(anchor, a);
        } else {
            take_check_attribute(anchor, a);
        }
    }
    return have_url;
}

bool parse_bookmark_text(Collection* collection, const char* text, bool automatic, ReadProgressFn progress,
                         void* context, ImportReport* report) {
    Parser parser;
    parser.collection = collection;
    parser.automatic = automatic;
    start_scanner(&parser.scanner, text);
    parser.anchor.url = tb_empty();
    parser.anchor.tags = tb_empty();
    parser.anchor_start = text;
    parser.report = report;
    parser.counted_to = text;
    parser.line = 1;
    parser.title = tb_empty();
    parser.description = tb_empty();
    parser.folder_mode = false;
    parser.folders = vec_create();
    begin_add_batch(collection);

    BookmarkScanner* scanner = &parser.scanner;
    size_t reported = 0;
    Flow flow = GO_ON;
    while (flow == GO_ON && next_token(scanner)) {
        const size_t position = static_cast<size_t>(scanner->cursor - text);
        if (position > reported + 1024) {
            reported = position;
            if (progress && !progress(static_cast<uint32_t>(position / 1024), context)) break;
        }
        switch (scanner->kind) {
            case TOK_ANCHOR_OPEN:
                flow = read_bookmark(&parser);
                break;
            case TOK_DT:
                if (parser.folder_mode) flow = read_folder_heading(&parser);
                break;
            case TOK_DL_CLOSE:
                pop_folder(&parser);
                break;
            case TOK_NETSCAPE_DOCTYPE:
                parser.folder_mode = true;
                break;
            default:
                break;
        }
    }

    end_add_batch(collection);
    while (parser.folders->count > 0) pop_folder(&parser);
    vec_destroy(parser.folders);
    tb_free(&parser.anchor.url);
    tb_free(&parser.anchor.tags);
    tb_free(&parser.title);
    tb_free(&parser.description);
    return true;
}

bool is_collection_file_text(const char* text) {
    return strncmp(text, COLLECTION_FILE_HEADER, COLLECTION_FILE_HEADER_LENGTH) == 0;
}

bool load_bookmark_file(const char* path, char** text, uint32_t* size) {
    *text = nullptr;
    *size = 0;
    if (!read_whole_file(path, text, size) || *size == 0) {
        free(*text);
        *text = nullptr;
        *size = 0;
        return false;
    }
    return true;
}

void read_bookmark_text(Collection* collection, const char* text, bool automatic, ReadProgressFn progress,
                        void* context, ImportReport* report) {
    if (is_collection_file_text(text)) automatic = false;
    char* converted = utf8_or_converted(text, strlen(text));
    parse_bookmark_text(collection, converted ? converted : text, automatic, progress, context, report);
    free(converted);
}

bool read_bookmark_file(Collection* collection, const char* path, bool automatic, ReadProgressFn progress,
                        void* context, ImportReport* report) {
    char* text;
    uint32_t size;
    if (!load_bookmark_file(path, &text, &size)) return false;
    read_bookmark_text(collection, text, automatic, progress, context, report);
    free(text);
    return true;
}
