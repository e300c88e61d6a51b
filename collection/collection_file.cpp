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

void append_title(TextBuffer* tb, const char* title) {
    const char* run = title;
    for (const char* p = title; *p; p++) {
        const char* entity = title_entity(*p);
        if (!entity) continue;
        tb_append(tb, run, static_cast<uint32_t>(p - run));
        tb_append_str(tb, entity);
        run = p + 1;
    }
    tb_append_str(tb, run);
}

// The longest an entry's fixed pieces and date attributes can be.
const size_t kEntryOverhead = 100;

// Room for the whole file, so that a large collection is built without
// copying the text over and over as the buffer grows.
size_t estimated_length(const PtrVector* records) {
    size_t length = COLLECTION_FILE_HEADER_LENGTH + COLLECTION_FILE_FOOTER_LENGTH;
    for (uint32_t i = 0; i < records->count; i++) {
        const Bookmark* record = static_cast<const Bookmark*>(records->items[i]);
        length += kEntryOverhead + strlen(record->url);
        for (const char* p = record->title; *p; p++) {
            const char* entity = title_entity(*p);
            length += entity ? strlen(entity) : 1;
        }
        const PtrVector* words = record->keywords ? record->keywords->entries : nullptr;
        for (uint32_t j = 0; words && j < words->count; j++) {
            length += strlen(static_cast<const WordEntry*>(words->items[j])->word) + 1;
        }
    }
    return length;
}

// Appends NAME="date" and its trailing space.
void append_date(TextBuffer* tb, const char* name, uint32_t date) {
    char scratch[32];
    int length = snprintf(scratch, sizeof scratch, "%s=\"%u\" ", name, static_cast<unsigned>(date));
    tb_append(tb, scratch, static_cast<uint32_t>(length));
}

void append_entry(TextBuffer* tb, const Bookmark* record) {
    tb_append_str(tb, "<DT><A HREF=\"");
    tb_append_str(tb, record->url);
    tb_append_str(tb, "\" ");
    append_date(tb, "ADD_DATE", record->added);
    if (is_real_date(record->last_visit)) append_date(tb, "LAST_VISIT", record->last_visit);
    if (is_real_date(record->last_modified)) {
        append_date(tb, "LAST_MODIFIED", record->last_modified);
    }
    tb_append_char(tb, '>');
    append_title(tb, record->title);
    tb_append_str(tb, "</A>\r\n<DD>");
    append_keyword_set_text(tb, record->keywords);
    tb_append_str(tb, "\r\n\r\n");
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
