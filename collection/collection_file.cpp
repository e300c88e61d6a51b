// Writing the collection file: the whole text is built in one buffer and
// written with one call, replacing the previous file.
#include "collection/collection_file.h"

#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "collection/bookmark.h"
#include "collection/collection.h"
#include "collection/whole_file.h"
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
static_assert(sizeof(COLLECTION_FILE_FOOTER) == COLLECTION_FILE_FOOTER_LENGTH + 1,
              "footer length");

namespace {

// A title is element text: markup characters in it would be read as markup
// and swallow what follows, so they go out as the entities the reader decodes.
const char* title_entity(char c) {
    switch (c) {
        case '&':
            return "&amp;";
        case '<':
            return "&lt;";
        case '>':
            return "&gt;";
        default:
            return nullptr;
    }
}

const char kTitleMarkup[] = "&<>";

void append_title(TextBuffer* tb, const char* title) {
    for (const char* run = title;;) {
        const size_t length = strcspn(run, kTitleMarkup);
        tb_append(tb, run, static_cast<uint32_t>(length));
        if (run[length] == '\0') return;
        tb_append_str(tb, title_entity(run[length]));
        run += length + 1;
    }
}

// Bytes of a title as written; an entity is at most four bytes longer.
size_t written_title_length(const char* title) {
    size_t length = strlen(title);
    for (const char* p = title; *(p += strcspn(p, kTitleMarkup)) != '\0'; p++) length += 4;
    return length;
}

template <size_t N>
void append_literal(TextBuffer* tb, const char (&text)[N]) {
    tb_append(tb, text, N - 1);
}

// The longest an entry's fixed pieces and date attributes can be.
const size_t kEntryOverhead = 100;

// Room for the whole file, so that a large collection is built without
// copying the text over and over as the buffer grows.
size_t estimated_length(const PtrVector* records) {
    size_t length = COLLECTION_FILE_HEADER_LENGTH + COLLECTION_FILE_FOOTER_LENGTH;
    for (uint32_t i = 0; i < records->count; i++) {
        const Bookmark* record = static_cast<const Bookmark*>(records->items[i]);
        length += kEntryOverhead + strlen(record->url) + written_title_length(record->title);
        const PtrVector* words = record->keywords ? record->keywords->entries : nullptr;
        for (uint32_t j = 0; words && j < words->count; j++) {
            length += strlen(static_cast<const WordEntry*>(words->items[j])->word) + 1;
        }
    }
    return length;
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

void append_entry(TextBuffer* tb, const Bookmark* record) {
    append_literal(tb, "<DT><A HREF=\"");
    tb_append_str(tb, record->url);
    append_literal(tb, "\" ");
    append_date(tb, "ADD_DATE", record->added);
    if (is_real_date(record->last_visit)) append_date(tb, "LAST_VISIT", record->last_visit);
    if (is_real_date(record->last_modified)) {
        append_date(tb, "LAST_MODIFIED", record->last_modified);
    }
    tb_append_char(tb, '>');
    append_title(tb, record->title);
    append_literal(tb, "</A>\r\n<DD>");
    append_keyword_set_text(tb, record->keywords);
    append_literal(tb, "\r\n\r\n");
}

TextBuffer build_collection_buffer(const PtrVector* records) {
    TextBuffer tb = tb_empty();
    size_t room = estimated_length(records);
    if (room < UINT32_MAX) tb_reserve(&tb, static_cast<uint32_t>(room));
    tb_append(&tb, COLLECTION_FILE_HEADER, COLLECTION_FILE_HEADER_LENGTH);
    for (uint32_t i = 0; i < records->count; i++) {
        append_entry(&tb, static_cast<const Bookmark*>(records->items[i]));
    }
    tb_append(&tb, COLLECTION_FILE_FOOTER, COLLECTION_FILE_FOOTER_LENGTH);
    return tb;
}

}  // namespace

char* build_collection_text(const PtrVector* records) {
    TextBuffer tb = build_collection_buffer(records);
    return tb_take(&tb);
}

bool save_collection(const Collection* collection, const char* path, bool keep_backup) {
    if (keep_backup) {
        std::string backup = std::string(path) + ".bak";
        remove(backup.c_str());
        rename(path, backup.c_str());
    }
    // Written from the buffer itself: no copy of a text that may run to megabytes.
    TextBuffer tb = build_collection_buffer(collection->records);
    bool written = write_whole_file(path, tb_text(tb));
    tb_free(&tb);
    return written;
}
