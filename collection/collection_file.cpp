// Writing the collection file: the text is made in pieces and written to a
// new file, which then replaces the previous one (keeping it as the backup
// when asked).
#include "collection/collection_file.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "collection/collection.h"
#include "core/bookmark.h"
#include "core/check_result.h"
#include "core/whole_file.h"
#include "search/keyword_index.h"

const char COLLECTION_FILE_HEADER[] =
    "<HTML><HEAD>\r\n"
    "<!DOCTYPE Tessfold-Ravozorizi-file-1>\r\n"
    "<!-- This is an automatically generated file.\r\n"
    "It will be read and overwritten.\r\n"
    "Do Not Edit! -->\r\n"
    "<TITLE>Ravozorizi</TITLE>\r\n"
    "</HEAD>\r\n"
    "<BODY>\r\n"
    "<H1>Ravozorizi</H1>\r\n"
    "<DL><p>\r\n"
    "\r\n";
static_assert(sizeof(COLLECTION_FILE_HEADER) == COLLECTION_FILE_HEADER_LENGTH + 1,
              "the reader recognises its own files by these exact bytes");

const char COLLECTION_FILE_FOOTER[] = "</DL><p>\r\n</BODY>\n";
static_assert(sizeof(COLLECTION_FILE_FOOTER) == COLLECTION_FILE_FOOTER_LENGTH + 1, "footer length");

namespace {

// A title is element text: markup characters in it would be read as markup
// and swallow what follows, and the reader folds runs of white space, so
// those go out as references the reader decodes. A blank is written as itself
// only after a character that is not one: every title reads back exactly.
const char* title_reference(char c) {
    switch (c) {
        case '&':
            return "&amp;";
        case '<':
            return "&lt;";
        case '>':
            return "&gt;";
        case '\t':
            return "&#9;";
        case '\n':
            return "&#10;";
        case '\r':
            return "&#13;";
        case ' ':
            return "&#32;";
        default:
            return nullptr;
    }
}

struct TitleBytes {
    bool special[256];
    constexpr TitleBytes() : special() {
        for (char c : {'&', '<', '>', '\t', '\n', '\r', ' '}) special[static_cast<unsigned char>(c)] = true;
    }
};

constexpr TitleBytes kTitleBytes;

}  // namespace

void append_title_text(TextBuffer* tb, const char* title) {
    const char* run = title;
    for (const char* p = title;; p++) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (!kTitleBytes.special[c]) {
            if (c == 0) break;
            continue;
        }
        if (c == ' ' && p > title && p[-1] != ' ') continue;
        tb_append(tb, run, static_cast<uint32_t>(p - run));
        tb_append_str(tb, title_reference(*p));
        run = p + 1;
    }
    tb_append_str(tb, run);
}

namespace {

template <size_t N>
void append_literal(TextBuffer* tb, const char (&text)[N]) {
    tb_append(tb, text, N - 1);
}

// Appends NAME="date" and its trailing space. Digits by hand: formatting three
// dates per bookmark through printf took half the time of a save.
template <size_t N>
void append_date(TextBuffer* tb, const char (&name)[N], uint32_t date) {
    char digits[10];
    uint32_t count = 0;
    do {
        digits[count++] = static_cast<char>('0' + date % 10);
        date /= 10;
    } while (date != 0);
    char scratch[N + 2 + sizeof digits + 2];
    char* p = scratch;
    memcpy(p, name, N - 1);
    p += N - 1;
    *p++ = '=';
    *p++ = '"';
    while (count > 0) *p++ = digits[--count];
    *p++ = '"';
    *p++ = ' ';
    tb_append(tb, scratch, static_cast<uint32_t>(p - scratch));
}

template <size_t N>
void append_name(TextBuffer* tb, const char (&name)[N], const char* value) {
    append_literal(tb, name);
    append_literal(tb, "=\"");
    tb_append_str(tb, value);
    append_literal(tb, "\" ");
}

// An address as the value of an attribute other than HREF.
template <size_t N>
void append_address(TextBuffer* tb, const char (&name)[N], const char* address) {
    // Only the value right after HREF may hold a '>': in any other the
    // reader takes it for the tag's end, and the rest for the title.
    TextBuffer text = tb_empty();
    append_url_text(&text, address);
    tb_replace_all(&text, ">", "%3E");
    append_literal(tb, name);
    append_literal(tb, "=\"");
    tb_append(tb, tb_text(text), tb_length(text));
    append_literal(tb, "\" ");
    tb_free(&text);
}

// The last status check, when there was one: attributes that browsers pass over.
void append_check(TextBuffer* tb, const Bookmark* record) {
    append_date(tb, "LAST_CHECK", record->last_check);
    append_name(tb, "CHECK_VERDICT", verdict_name(static_cast<CheckVerdict>(record->verdict)));
    if (record->http_status != 0) append_date(tb, "CHECK_STATUS", record->http_status);
    if (record->check_error != CHECK_ERROR_NONE) {
        append_name(tb, "CHECK_ERROR", check_error_name(static_cast<CheckError>(record->check_error)));
    }
    if (record->first_failure != 0) append_date(tb, "FIRST_FAILURE", record->first_failure);
    if (record->moved_to) append_address(tb, "MOVED_TO", record->moved_to);
    if (record->archive) append_address(tb, "ARCHIVE", record->archive);
}

}  // namespace

void append_collection_entry(TextBuffer* tb, const Bookmark* record) {
    append_literal(tb, "<DT><A HREF=\"");
    append_url_text(tb, record->url);
    append_literal(tb, "\" ");
    append_date(tb, "ADD_DATE", record->added);
    if (is_real_date(record->last_visit)) append_date(tb, "LAST_VISIT", record->last_visit);
    if (is_real_date(record->last_modified)) {
        append_date(tb, "LAST_MODIFIED", record->last_modified);
    }
    // The path's form holds nothing a double-quoted value may not.
    if (record->folder) append_name(tb, "FOLDER", record->folder);
    if (record->last_check != 0) append_check(tb, record);
    tb_append_char(tb, '>');
    append_title_text(tb, record->title);
    append_literal(tb, "</A>\r\n<DD>");
    append_keyword_set_text(tb, record->keywords);
    append_literal(tb, "\r\n\r\n");
}

namespace {

// The file handed out in pieces of about kPieceSize bytes: a piece that stays
// in the processor's cache is written at once, where the whole text of a large
// collection would be tens of megabytes of fresh memory.
const uint32_t kPieceSize = 256 * 1024;

struct TextPieces {
    const PtrVector* records;
    uint32_t piece_size;
    uint32_t next_record;
    bool started;
    bool finished;
    TextBuffer piece;
};

TextPieces start_pieces(const PtrVector* records, uint32_t piece_size) {
    return TextPieces{records, piece_size, 0, false, false, tb_empty()};
}

// The header, then entries until the piece is full, the footer after the last.
const char* next_piece(void* context, size_t* length) {
    TextPieces* pieces = static_cast<TextPieces*>(context);
    if (pieces->finished) return nullptr;
    TextBuffer* tb = &pieces->piece;
    tb_clear(tb);
    if (!pieces->started) {
        tb_append(tb, COLLECTION_FILE_HEADER, COLLECTION_FILE_HEADER_LENGTH);
        pieces->started = true;
    }
    const PtrVector* records = pieces->records;
    while (pieces->next_record < records->count && tb_length(*tb) < pieces->piece_size) {
        append_collection_entry(tb, static_cast<const Bookmark*>(records->items[pieces->next_record++]));
    }
    if (pieces->next_record == records->count) {
        tb_append(tb, COLLECTION_FILE_FOOTER, COLLECTION_FILE_FOOTER_LENGTH);
        pieces->finished = true;
    }
    *length = tb_length(*tb);
    return tb_text(*tb);
}

// Pieces for writing out, with room for a full piece and the entry that overruns it.
TextPieces start_file_pieces(const PtrVector* records) {
    TextPieces pieces = start_pieces(records, kPieceSize);
    tb_reserve(&pieces.piece, 2 * kPieceSize);
    return pieces;
}

}  // namespace

char* build_collection_text(const PtrVector* records) {
    TextPieces pieces = start_pieces(records, UINT32_MAX);
    size_t length;
    next_piece(&pieces, &length);
    return tb_take(&pieces.piece);
}

namespace {

// Puts the newly written file in place, the previous file becoming the backup.
// The old backup is only moved aside until the new file is in: a failure at
// any step puts it back, so both files are then as they were.
bool replace_keeping_backup(const char* path, const char* written) {
    std::string backup = std::string(path) + ".bak";
    char* old_backup = nullptr;
    if (!move_aside(backup.c_str(), &old_backup)) return false;
    bool replaced = replace_file(path, written, backup.c_str());
    if (old_backup) {
        if (replaced) {
            remove_file(old_backup);
        } else {
            replace_file(backup.c_str(), old_backup, nullptr);
        }
    }
    free(old_backup);
    return replaced;
}

// The whole file goes to a new file beside the old one first, so that a
// failure while writing it never costs the old file.
bool save_records(const PtrVector* records, const char* path, bool keep_backup) {
    TextPieces pieces = start_file_pieces(records);
    char* written = write_file_beside(path, next_piece, &pieces);
    tb_free(&pieces.piece);
    if (!written) return false;
    // Without a file to keep there is nothing to rotate, and the old backup stays.
    bool replaced =
        keep_backup && file_exists(path) ? replace_keeping_backup(path, written) : replace_file(path, written, nullptr);
    if (!replaced) remove_file(written);
    free(written);
    return replaced;
}

}  // namespace

bool write_collection_file(const PtrVector* records, const char* path) { return save_records(records, path, false); }

bool write_collection_pieces(const PtrVector* records, PieceSinkFn sink, void* context) {
    TextPieces pieces = start_file_pieces(records);
    bool written = true;
    size_t length;
    for (const char* piece; written && (piece = next_piece(&pieces, &length)) != nullptr;) {
        written = sink(piece, length, context);
    }
    tb_free(&pieces.piece);
    return written;
}

bool save_collection(const Collection* collection, const char* path, bool keep_backup) {
    return save_records(collection->records, path, keep_backup);
}
