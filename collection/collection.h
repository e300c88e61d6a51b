// The collection: every bookmark, in identity order and by URL, with the
// keyword index that finds them. Every operation takes the collection it works
// on; the program keeps one inside its application state.
#pragma once

#include <cstdint>

#include "collection/check_state.h"
#include "collection/import_report.h"
#include "core/bookmark.h"
#include "core/containers.h"

struct KeywordIndex;
struct WordScratch;

// Records made while a batch of additions is open, not yet in `records_by_url`.
struct AddBatch {
    uint32_t depth;      // begin_add_batch calls not yet ended
    PtrTable* by_url;    // the batch's records under hash_text_nocase of their URLs
    PtrVector* records;  // the same records, merged into `records_by_url` at the end
    uint32_t moment;     // now() when the batch opened: the date of what it adds undated
    WordScratch* words;  // buffers the keyword texts of the batch's bookmarks are made in
};

struct Collection {
    PtrVector* records;         // Bookmark*, ascending identity
    PtrVector* records_by_url;  // Bookmark*, by URL without regard to A-Z case
    KeywordIndex* keyword_index;
    uint64_t next_serial;  // identity of the next record made by new_record
    AddBatch batch;
    uint64_t edits;         // grows with every change to which records there are or to their titles and URLs
    uint64_t url_edits;     // grows with every change to which records there are or to their URLs
    uint64_t url_changes;   // grows when a stored record's URL changes (reposition_by_url)
    bool clock_fixed;       // tests and tools whose output must not depend on the moment they run
    uint32_t fixed_moment;  // now() while clock_fixed
};

// An empty collection with a fresh keyword index.
Collection create_collection();
// Frees every record (texts, keyword set, record), the index and both vectors;
// the fields are left null.
void free_collection(Collection* collection);

// The current time in the date unit, or the collection's fixed moment when one is set.
uint32_t now(const Collection* collection);
void set_fixed_clock(Collection* collection, uint32_t seconds);

// The URL comparison: bytes compared as unsigned values with A-Z folded to a-z.
int compare_urls(const char* a, const char* b);

// A URL as the collection stores it: blanks around it trimmed, and each double
// quote, which would end the URL in the collection file, written as the
// equivalent "%22". Takes the string and returns the stored form (the same
// string, or a new one when quotes were replaced).
char* tidy_url(char* url);
// Appends a URL with each double quote written as "%22".
void append_url_text(TextBuffer* tb, const char* url);
// False for a tidied URL that no bookmark may have: an empty one, or a
// reference within a page ("#..."), which the collection file does not keep.
bool is_storable_url(const char* url);

// A record with empty fields and all three dates DATE_UNSET, not yet in the
// collection; it receives the next identity.
Bookmark* new_record(Collection* collection);
// The stored record whose URL equals the given one without regard to case, or null.
Bookmark* find_by_url(const Collection* collection, const char* url);
// Puts a record that is not yet in the collection into both vectors. A record
// whose URL is already stored goes into `records` only.
void insert_record(Collection* collection, Bookmark* record);
// Puts records that are not yet in the collection, with URLs no stored record
// has and none twice, into both vectors at once (a sort and a merge each),
// and empties the vector given: for many records, where inserting each would
// move the vectors' tails every time.
void insert_records(Collection* collection, PtrVector* records);
// Adds a bookmark, or merges its dates into the stored one with the same URL.
// Takes ownership of the title and the URL (each may be null) in every case;
// the keyword text (which may be null) stays the caller's: its words are
// indexed, the text itself is not kept. The URL is tidied; nothing is added
// when it cannot be stored; a bookmark without a title is titled with its URL
// (which gives no keywords of its own). A check read from a file (borrowed,
// may be null) is kept when it is later than the stored bookmark's. The folder
// path (borrowed, may be null) is copied into a new record, and into a stored
// one that has none: a bookmark keeps the first folder it came from, so that
// rescans of sources that disagree never move it back and forth.
AddOutcome add_or_merge(Collection* collection, char* title, char* url, const char* keyword_text, uint32_t added,
                        uint32_t last_visit, uint32_t last_modified, bool automatic, const StoredCheck* check = nullptr,
                        const char* folder = nullptr);
// Opens and ends a batch of additions, for reading files of many bookmarks:
// inserting each new record into `records_by_url` by itself would move the
// vector's tail every time. While a batch is open, records made by add_or_merge
// join `records` at once and `records_by_url` together when the outermost batch
// ends (one sort and one merge); find_by_url and add_or_merge see them all the
// same, and the other operations here first complete `records_by_url`. Records
// added undated in a batch all get the moment the batch opened.
void begin_add_batch(Collection* collection);
void end_add_batch(Collection* collection);
// Replaces a record's keywords with the words of the text (null or empty: none)
// in the collection's index, and stores its new set.
void set_bookmark_keywords(Collection* collection, Bookmark* record, const char* text);
// Moves a stored record to its new place in `records_by_url` after its url changed.
void reposition_by_url(Collection* collection, Bookmark* record);
// Counts an edit of a stored record's title, for those who keep orders of the
// records (the functions here count their own changes).
void note_title_edit(Collection* collection);
// Removes a record from both vectors and the keyword index, and frees it.
void delete_record(Collection* collection, Bookmark* record);
