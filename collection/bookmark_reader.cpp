// Reading HTML bookmark files: a small parser over the scanner's tokens that
// assembles one bookmark per anchor (URL and dates from the tag, title up to
// the anchor end, description after <DD>) and, in Netscape files, keeps the
// stack of enclosing folder names.
#include "collection/bookmark_reader.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "collection/collection.h"
#include "collection/collection_file.h"
#include "collection/scanner.h"
#include "core/bookmark.h"
#include "core/whole_file.h"

namespace {

// At a date attribute name followed by =" : the date it fills and the length of
// the name with its =", else null.
uint32_t* match_date_name(AnchorAttributes* anchor, const char* p, size_t* length) {
    struct DateName {
        const char* name;
        size_t length;
        uint32_t AnchorAttributes::*date;
    };
    static const DateName names[] = {
        {"ADD_DATE=\"", 10, &AnchorAttributes::added},
        {"LAST_VISIT=\"", 12, &AnchorAttributes::last_visit},
        {"LAST_MODIFIED=\"", 15, &AnchorAttributes::last_modified},
    };
    if (*p != 'A' && *p != 'L') return nullptr;
    for (const DateName& n : names) {
        if (strncmp(p, n.name, n.length) == 0) {
            *length = n.length;
            return &(anchor->*n.date);
        }
    }
    return nullptr;
}

// Decimal digits in 32-bit unsigned arithmetic: larger numbers wrap, no digits give 0.
uint32_t read_date(const char* p) {
    uint32_t value = 0;
    for (; *p >= '0' && *p <= '9'; p++) value = value * 10 + static_cast<uint32_t>(*p - '0');
    return value;
}

enum Flow { GO_ON, FINISH };

struct Parser {
    Collection* collection;
    bool automatic;
    BookmarkScanner scanner;
    AnchorAttributes anchor;
    TextBuffer title;
    TextBuffer description;
    bool folder_mode;
    PtrVector* folders;  // TextBlock* of the open folders' full names, innermost last
};

void append_innermost_folder(Parser* parser, TextBuffer* text) {
    const PtrVector* folders = parser->folders;
    if (folders->count == 0) return;
    const TextBlock* top = static_cast<const TextBlock*>(folders->items[folders->count - 1]);
    tb_append_char(text, ' ');
    tb_append(text, top->text, top->length);
}

// Hands the assembled bookmark over unless its URL is empty or only a
// reference within a page, and empties the texts for the next anchor. Blanks
// before the "#" do not count: add_or_merge trims them, and the stored "#..."
// would then vanish when the collection file is read back.
void deliver_bookmark(Parser* parser) {
    const char* url = tb_text(parser->anchor.url);
    const char* first = url;
    while (isspace(static_cast<unsigned char>(*first))) first++;
    if (url[0] != '\0' && *first != '#') {
        add_or_merge(parser->collection, str_dup(tb_text(parser->title)), str_dup(url),
                     str_dup(tb_text(parser->description)), parser->anchor.added, parser->anchor.last_visit,
                     parser->anchor.last_modified, parser->automatic);
    }
    tb_clear(&parser->anchor.url);
    tb_clear(&parser->title);
    tb_clear(&parser->description);
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
    if (!parse_anchor_attributes(&parser->anchor, scanner->token_start)) return GO_ON;
    for (;;) {
        append_plain_run(scanner, &parser->title);
        // Cut off inside the title: the anchor is dropped.
        if (!next_token(scanner)) return FINISH;
        if (scanner->kind == TOK_ANCHOR_CLOSE) break;
        if (scanner->kind == TOK_CHAR) {
            tb_append_char(&parser->title, static_cast<char>(scanner->value));
        }
    }
    next_token(scanner);
    if (scanner->kind == TOK_DD) {
        for (;;) {
            append_plain_run(scanner, &parser->description);
            if (!next_token(scanner)) {
                deliver_bookmark(parser);
                return FINISH;
            }
            if (scanner->kind == TOK_CHAR) {
                tb_append_char(&parser->description, static_cast<char>(scanner->value));
            } else if (scanner->kind == TOK_DT || scanner->kind == TOK_DL_CLOSE) {
                break;
            }
        }
    }
    push_back(scanner);
    if (parser->folder_mode) append_innermost_folder(parser, &parser->description);
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
    while (next_token(scanner) && scanner->kind == TOK_CHAR) {
        tb_append_char(&name, static_cast<char>(scanner->value));
    }
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
    const char* open = strchr(tag, '"');
    if (!open) return false;
    const char* close = strchr(open + 1, '"');
    if (!close) return false;
    tb_append(&anchor->url, open + 1, static_cast<uint32_t>(close - open - 1));

    // The rest of the tag, double-quoted values passed over whole.
    const char* p = close + 1;
    while (*p != '\0' && *p != '>') {
        if (*p == '"') {
            const char* end = strchr(p + 1, '"');
            if (!end) break;
            p = end + 1;
            continue;
        }
        size_t length;
        uint32_t* date = is_ascii_letter(p[-1]) ? nullptr : match_date_name(anchor, p, &length);
        if (date) {
            // Continue at the value's opening quote, so the value is passed over.
            p += length - 1;
            *date = read_date(p + 1);
            continue;
        }
        p++;
    }
    return true;
}

bool parse_bookmark_text(Collection* collection, const char* text, bool automatic, ReadProgressFn progress,
                         void* context) {
    Parser parser;
    parser.collection = collection;
    parser.automatic = automatic;
    start_scanner(&parser.scanner, text);
    parser.anchor.url = tb_empty();
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
                        void* context) {
    if (is_collection_file_text(text)) automatic = false;
    parse_bookmark_text(collection, text, automatic, progress, context);
}

bool read_bookmark_file(Collection* collection, const char* path, bool automatic, ReadProgressFn progress,
                        void* context) {
    char* text;
    uint32_t size;
    if (!load_bookmark_file(path, &text, &size)) return false;
    read_bookmark_text(collection, text, automatic, progress, context);
    free(text);
    return true;
}
