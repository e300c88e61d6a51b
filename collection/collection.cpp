// Bookmark records and the collection: creating, finding, adding, merging and
// deleting bookmarks, with the keyword index kept in step.
#include "collection/collection.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

#include "search/keyword_index.h"
#include "search/words.h"

namespace {

// Compares a record's URL with a URL (the key).
int compare_record_url_key(const void* element, const void* key) {
    return compare_urls(static_cast<const Bookmark*>(element)->url, static_cast<const char*>(key));
}

int compare_record_urls(const void* element, const void* key) {
    return compare_urls(static_cast<const Bookmark*>(element)->url, static_cast<const Bookmark*>(key)->url);
}

Bookmark* find_in_batch(const Collection* collection, const char* url, uint32_t hash) {
    return static_cast<Bookmark*>(table_find(collection->batch.by_url, hash, url, compare_record_url_key));
}

// Folded bytes of a URL from the given offset, eight at a time in one number
// that orders as the bytes do; bytes past the end count as zero and are never
// read. Returns false when the URL ended among them.
bool folded_prefix(const char* url, size_t offset, uint64_t* key) {
    uint64_t value = 0;
    bool ended = false;
    for (size_t i = offset; i < offset + 8; i++) {
        const unsigned char c = ended ? 0 : static_cast<unsigned char>(fold_ascii(url[i]));
        ended = ended || c == 0;
        value = (value << 8) | c;
    }
    *key = value;
    return !ended;
}

const size_t kSortKeys = 3;  // numbers of eight folded bytes each

// Sorts records by URL. A sort compares n log n times, and following each
// record to its URL for every comparison is slow: the first 24 folded bytes
// of each URL go beside it as three numbers, which settle nearly every
// comparison; only URLs that agree that far are compared as texts.
void sort_by_url(PtrVector* records) {
    struct Keyed {
        uint64_t key[kSortKeys];
        bool longer;  // the URL goes on past the keyed bytes
        const Bookmark* record;
    };
    std::vector<Keyed> keyed(records->count);
    for (uint32_t i = 0; i < records->count; i++) {
        Keyed& k = keyed[i];
        k.record = static_cast<const Bookmark*>(records->items[i]);
        k.longer = true;
        for (size_t j = 0; j < kSortKeys; j++) {
            k.key[j] = 0;
            if (k.longer) k.longer = folded_prefix(k.record->url, 8 * j, &k.key[j]);
        }
    }
    std::sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
        for (size_t j = 0; j < kSortKeys; j++) {
            if (a.key[j] != b.key[j]) return a.key[j] < b.key[j];
        }
        // Equal keyed bytes: both URLs ended among them (equal) or both go on.
        return a.longer && compare_urls(a.record->url + 8 * kSortKeys, b.record->url + 8 * kSortKeys) < 0;
    });
    for (uint32_t i = 0; i < records->count; i++) records->items[i] = const_cast<Bookmark*>(keyed[i].record);
}

// Puts the open batch's records into `records_by_url`; the batch stays open.
void settle_batch(Collection* collection) {
    AddBatch* batch = &collection->batch;
    if (batch->depth == 0 || batch->records->count == 0) return;
    // The batch never holds a URL that is stored, nor one twice: no two
    // records compare equal, so the order is exactly that of one-by-one insertion.
    // The look-up table goes first: less memory held while the sort needs its copies.
    table_destroy(batch->by_url);
    sort_by_url(batch->records);
    vec_merge_sorted(collection->records_by_url, batch->records, compare_record_urls);
    batch->by_url = table_create();
}

// Removes the record from `records_by_url` if it is there. The record is found
// by its URL first; by identity when its URL no longer leads to it.
void remove_from_url_order(Collection* collection, Bookmark* record) {
    PtrVector* by_url = collection->records_by_url;
    uint32_t position;
    if (vec_search(by_url, record->url, compare_record_url_key, &position) && by_url->items[position] == record) {
        vec_remove_at(by_url, position);
        return;
    }
    int index = vec_index_of(by_url, record);
    if (index >= 0) vec_remove_at(by_url, static_cast<uint32_t>(index));
}

void free_record(Bookmark* record) {
    free(record->url);
    free(record->title);
    free(record->moved_to);
    free(record->archive);
    free(record->folder);
    free_keyword_set(record->keywords);
    free(record);
}

// A later real date replaces an earlier one. A value that is not a real date
// (the incoming file simply lacked it) never replaces what is stored, and a
// stored sentinel sorts after every real date, so it is kept.
void merge_date(uint32_t* stored, uint32_t incoming) {
    if (is_real_date(incoming) && *stored < incoming) *stored = incoming;
}

// The steps of add_or_merge.

// Trims the title and tidies the URL; false (both freed) when the URL cannot
// be stored. A bookmark is worth keeping without a title: it gets its URL.
bool tidy_title_and_url(char** title, char** url, bool* untitled) {
    if (*title) trim_in_place(*title);
    if (*url) *url = tidy_url(*url);
    if (!*url || !is_storable_url(*url)) {
        free(*title);
        free(*url);
        return false;
    }
    *untitled = !*title || (*title)[0] == '\0';
    if (*untitled) {
        free(*title);
        *title = str_dup(*url);
    }
    return true;
}

// Where a URL stands: its stored record, or where a new one goes.
struct UrlLookUp {
    Bookmark* stored;
    uint32_t url_position;  // in `records_by_url`, outside a batch
    uint32_t url_hash;      // in the batch's table, inside one
};

UrlLookUp look_up_url(const Collection* collection, const char* url) {
    UrlLookUp look_up{nullptr, 0, 0};
    const bool batched = collection->batch.depth > 0;
    if (batched) look_up.url_hash = hash_text_nocase(url);
    if (vec_search(collection->records_by_url, url, compare_record_url_key, &look_up.url_position)) {
        look_up.stored = static_cast<Bookmark*>(collection->records_by_url->items[look_up.url_position]);
    } else if (batched) {
        look_up.stored = find_in_batch(collection, url, look_up.url_hash);
    }
    return look_up;
}

// The later check, the later dates when the incoming bookmark is dated, and
// its folder when the stored one has none.
void merge_into_stored(Bookmark* stored, uint32_t added, uint32_t last_visit, uint32_t last_modified,
                       const StoredCheck* check, const char* folder) {
    if (check) merge_stored_check(stored, check);
    if (folder && !stored->folder) stored->folder = str_dup(folder);
    if (!is_real_date(added)) return;
    merge_date(&stored->last_visit, last_visit);
    merge_date(&stored->last_modified, last_modified);
}

void set_added_dates(const Collection* collection, Bookmark* record, uint32_t added, uint32_t last_visit,
                     uint32_t last_modified) {
    // Asking the clock for every bookmark read costs more than reading it on
    // some systems (the C library looks up the time zone each time).
    const uint32_t moment = collection->batch.depth > 0 ? collection->batch.moment : now(collection);
    record->added = is_real_date(added) ? added : moment;
    record->last_visit = is_real_date(last_visit) ? last_visit : moment;
    record->last_modified = last_modified == DATE_CHECKING ? DATE_UNSET : last_modified;
}

void set_added_keywords(Collection* collection, Bookmark* record, bool untitled, const char* keyword_text,
                        bool automatic) {
    if (!automatic) {
        // Without automatic keywords the keyword text keeps every word it has,
        // and the index splits the text into those same words by itself.
        set_bookmark_keywords(collection, record, keyword_text);
        return;
    }
    WordScratch* scratch = collection->batch.words;
    TextBuffer own_source = tb_empty();
    TextBuffer own_keywords = tb_empty();
    TextBuffer* source = scratch ? &scratch->joined : &own_source;
    TextBuffer* keywords = scratch ? &scratch->keywords : &own_keywords;
    // URLs are never split into keywords.
    tb_assign(source, untitled ? "" : record->title);
    if (keyword_text) {
        tb_append_char(source, ' ');
        tb_append_str(source, keyword_text);
    }
    // The joined text is this function's own: it may be edited in place.
    make_automatic_keywords(collection->keyword_index, (*source)->text, keywords, scratch);
    set_bookmark_keywords(collection, record, tb_text(*keywords));
    tb_free(&own_source);
    tb_free(&own_keywords);
}

void insert_added_record(Collection* collection, Bookmark* record, const UrlLookUp& look_up) {
    insert_in_identity_order(collection->records, record);
    collection->edits++;
    collection->url_edits++;
    if (collection->batch.depth > 0) {
        table_insert(collection->batch.by_url, look_up.url_hash, record);
        vec_append(collection->batch.records, record);
    } else {
        vec_insert_at(collection->records_by_url, look_up.url_position, record);
    }
}

}  // namespace

Collection create_collection() {
    Collection collection;
    collection.records = vec_create();
    collection.records_by_url = vec_create();
    collection.keyword_index = create_keyword_index();
    collection.next_serial = 1;
    collection.batch.depth = 0;
    collection.batch.by_url = nullptr;
    collection.batch.records = nullptr;
    collection.batch.moment = 0;
    collection.batch.words = nullptr;
    collection.edits = 0;
    collection.url_edits = 0;
    collection.url_changes = 0;
    collection.clock_fixed = false;
    collection.fixed_moment = 0;
    return collection;
}

void free_collection(Collection* collection) {
    for (uint32_t i = 0; i < collection->records->count; i++) {
        free_record(static_cast<Bookmark*>(collection->records->items[i]));
    }
    vec_destroy(collection->records);
    vec_destroy(collection->records_by_url);
    table_destroy(collection->batch.by_url);
    vec_destroy(collection->batch.records);
    free_word_scratch(collection->batch.words);
    collection->batch.depth = 0;
    collection->batch.by_url = nullptr;
    collection->batch.records = nullptr;
    collection->batch.words = nullptr;
    destroy_keyword_index(collection->keyword_index);
    collection->records = nullptr;
    collection->records_by_url = nullptr;
    collection->keyword_index = nullptr;
}

uint32_t now(const Collection* collection) {
    if (collection->clock_fixed) return collection->fixed_moment;
    return static_cast<uint32_t>(time(nullptr));
}

void set_fixed_clock(Collection* collection, uint32_t seconds) {
    collection->clock_fixed = true;
    collection->fixed_moment = seconds;
}

int compare_urls(const char* a, const char* b) { return str_compare_nocase(a, b); }

void append_url_text(TextBuffer* tb, const char* url) {
    for (const char* run = url;;) {
        const size_t length = strcspn(run, "\"");
        tb_append(tb, run, static_cast<uint32_t>(length));
        if (run[length] == '\0') return;
        tb_append_str(tb, "%22");
        run += length + 1;
    }
}

char* tidy_url(char* url) {
    trim_in_place(url);
    if (!strchr(url, '"')) return url;
    TextBuffer tidied = tb_empty();
    append_url_text(&tidied, url);
    free(url);
    return tb_take(&tidied);
}

bool is_storable_url(const char* url) { return url[0] != '\0' && url[0] != '#'; }

Bookmark* new_record(Collection* collection) {
    Bookmark* record = static_cast<Bookmark*>(calloc(1, sizeof(Bookmark)));
    record->added = DATE_UNSET;
    record->last_visit = DATE_UNSET;
    record->last_modified = DATE_UNSET;
    record->serial = collection->next_serial++;
    return record;
}

Bookmark* find_by_url(const Collection* collection, const char* url) {
    uint32_t position;
    if (vec_search(collection->records_by_url, url, compare_record_url_key, &position)) {
        return static_cast<Bookmark*>(collection->records_by_url->items[position]);
    }
    if (collection->batch.depth == 0) return nullptr;
    return find_in_batch(collection, url, hash_text_nocase(url));
}

void begin_add_batch(Collection* collection) {
    AddBatch* batch = &collection->batch;
    if (batch->depth++ > 0) return;
    batch->by_url = table_create();
    batch->records = vec_create();
    batch->moment = now(collection);
    batch->words = create_word_scratch();
    begin_index_batch(collection->keyword_index);
}

void end_add_batch(Collection* collection) {
    AddBatch* batch = &collection->batch;
    if (batch->depth == 0) return;
    settle_batch(collection);
    if (--batch->depth > 0) return;
    end_index_batch(collection->keyword_index);
    table_destroy(batch->by_url);
    vec_destroy(batch->records);
    free_word_scratch(batch->words);
    batch->by_url = nullptr;
    batch->records = nullptr;
    batch->words = nullptr;
}

void insert_record(Collection* collection, Bookmark* record) {
    settle_batch(collection);
    collection->edits++;
    collection->url_edits++;
    insert_in_identity_order(collection->records, record);
    vec_insert_sorted(collection->records_by_url, record, compare_record_urls);
}

void insert_records(Collection* collection, PtrVector* records) {
    settle_batch(collection);
    collection->edits++;
    collection->url_edits++;
    PtrVector* by_url = vec_create();
    vec_assign(by_url, records->items, records->count);
    sort_by_url(by_url);
    vec_merge_sorted(collection->records_by_url, by_url, compare_record_urls);
    vec_destroy(by_url);
    vec_sort(records, compare_record_identity);
    vec_merge_sorted(collection->records, records, compare_record_identity);
}

AddOutcome add_or_merge(Collection* collection, char* title, char* url, const char* keyword_text, uint32_t added,
                        uint32_t last_visit, uint32_t last_modified, bool automatic, const StoredCheck* check,
                        const char* folder) {
    bool untitled;
    if (!tidy_title_and_url(&title, &url, &untitled)) return ADD_SKIPPED;
    const UrlLookUp look_up = look_up_url(collection, url);
    if (look_up.stored) {
        free(title);
        free(url);
        merge_into_stored(look_up.stored, added, last_visit, last_modified, check, folder);
        return ADD_MERGED;
    }
    Bookmark* record = new_record(collection);
    record->url = url;
    record->title = title;
    set_added_dates(collection, record, added, last_visit, last_modified);
    if (check) merge_stored_check(record, check);
    if (folder) record->folder = str_dup(folder);
    set_added_keywords(collection, record, untitled, keyword_text, automatic);
    insert_added_record(collection, record, look_up);
    return ADD_ADDED;
}

void reposition_by_url(Collection* collection, Bookmark* record) {
    // Out of the URL order before an open batch merges into it: with its new
    // URL the record breaks the order the merge relies on.
    remove_from_url_order(collection, record);
    settle_batch(collection);
    collection->edits++;
    collection->url_edits++;
    collection->url_changes++;
    vec_insert_sorted(collection->records_by_url, record, compare_record_urls);
}

void set_bookmark_keywords(Collection* collection, Bookmark* record, const char* text) {
    record->keywords = set_record_keywords(collection->keyword_index, record, text, record->keywords);
}

void note_title_edit(Collection* collection) { collection->edits++; }

void delete_record(Collection* collection, Bookmark* record) {
    settle_batch(collection);
    collection->edits++;
    collection->url_edits++;
    uint32_t position;
    if (vec_search(collection->records, record, compare_record_identity, &position) &&
        collection->records->items[position] == record) {
        vec_remove_at(collection->records, position);
    }
    remove_from_url_order(collection, record);
    set_bookmark_keywords(collection, record, nullptr);
    free_record(record);
}
