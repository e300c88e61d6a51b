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
#include <vector>

#include "collection/anchor_attributes.h"
#include "collection/bookmark_source.h"
#include "collection/collection_file.h"
#include "collection/import_report.h"
#include "collection/scanner.h"
#include "core/ansi_text.h"
#include "core/bookmark.h"
#include "core/whole_file.h"

namespace {

enum Flow { GO_ON, FINISH };

struct Parser {
    BookmarkSink* sink;
    BookmarkScanner scanner;
    AnchorAttributes anchor;
    const char* anchor_start;  // the current anchor's tag, to tell where a skipped entry stood
    TextBuffer title;
    TextBuffer description;
    bool folder_mode;
    std::vector<TextBuffer> folders;  // the open folders' names (owned), innermost last
    const char* counted_to;           // lines are counted up to here
    uint32_t line;                    // the line `counted_to` is on
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
    if (!parser->sink->report) return;
    char where[32];
    describe_anchor_line(parser, where, sizeof where);
    TextBuffer text = tb_empty();
    tb_append_str(&text, why);
    if (tb_length(parser->anchor.url) > 0) {
        tb_append_str(&text, ": ");
        tb_append_str(&text, tb_text(parser->anchor.url));
    }
    note_skipped(parser->sink->report, where, tb_text(text));
    tb_free(&text);
}

// The bytes of the current character token, appended to a text.
inline void append_token_chars(const BookmarkScanner* scanner, TextBuffer* text) {
    if (scanner->char_count == 1) {
        tb_append_char(text, scanner->chars[0]);
    } else {
        tb_append(text, scanner->chars, scanner->char_count);
    }
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
        char* archive = check.archive ? str_dup_span(check.archive, parser->anchor.archive_length) : nullptr;
        check.moved_to = moved_to;
        check.archive = archive;
        SourceBookmark bookmark = empty_source_bookmark();
        bookmark.url = url;
        bookmark.title = tb_text(parser->title);
        bookmark.description = tb_text(parser->description);
        bookmark.tags = tb_text(parser->anchor.tags);
        // The program's FOLDER stands for the enclosing folders, which it
        // writes around its entries only for browsers to read.
        if (parser->anchor.has_folder) {
            bookmark.folder_path = tb_text(parser->anchor.folder);
        } else {
            bookmark.folders = parser->folders.data();
            bookmark.folder_count = static_cast<uint32_t>(parser->folders.size());
        }
        bookmark.added = parser->anchor.added;
        bookmark.last_visit = parser->anchor.last_visit;
        bookmark.last_modified = parser->anchor.last_modified;
        bookmark.check = &check;
        if (take_bookmark(parser->sink, bookmark) == ADD_SKIPPED) skip_anchor(parser, IMPORT_NO_ADDRESS);
        free(moved_to);
        free(archive);
    }
    clear_anchor(parser);
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
    parser->folders.push_back(name);
    return GO_ON;
}

void pop_folder(Parser* parser) {
    if (parser->folders.empty()) return;
    tb_free(&parser->folders.back());
    parser->folders.pop_back();
}

}  // namespace

void read_netscape_bookmarks(BookmarkSink* sink, const char* text, ReadProgressFn progress, void* context) {
    Parser parser;
    parser.sink = sink;
    start_scanner(&parser.scanner, text);
    parser.anchor.url = tb_empty();
    parser.anchor.tags = tb_empty();
    parser.anchor.folder = tb_empty();
    parser.anchor_start = text;
    parser.counted_to = text;
    parser.line = 1;
    parser.title = tb_empty();
    parser.description = tb_empty();
    parser.folder_mode = false;

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

    while (!parser.folders.empty()) pop_folder(&parser);
    tb_free(&parser.anchor.url);
    tb_free(&parser.anchor.tags);
    tb_free(&parser.anchor.folder);
    tb_free(&parser.title);
    tb_free(&parser.description);
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
    BookmarkSink sink = open_bookmark_sink(collection, automatic, report);
    read_netscape_bookmarks(&sink, converted ? converted : text, progress, context);
    close_bookmark_sink(&sink);
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
