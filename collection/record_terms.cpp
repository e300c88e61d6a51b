// site: and is: over the collection's records.
#include "collection/record_terms.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "collection/check_state.h"
#include "collection/collection.h"
#include "collection/page_address.h"

namespace {

std::string folded(const char* text, size_t length) {
    std::string out(text, length);
    for (char& c : out) c = fold_ascii(c);
    return out;
}

}  // namespace

// A record as an index last saw it: its identity, and (in the page index)
// its page key with the number of records that have it.
struct KnownRecord {
    uint64_t serial;
    Bookmark* record;  // never read once the record is gone
    std::pair<const std::string, uint32_t>* page;
};

// What an index was made of: kept in step with the collection's records by
// what changed, so that adding or deleting a bookmark costs a walk, not a new
// index; a record whose URL changed makes it anew.
struct KnownRecords {
    std::vector<KnownRecord> records;  // identity order
    uint64_t url_edits;
    uint64_t url_changes;
    bool made;
};

struct HostIndex {
    struct Entry {
        std::string backwards;  // the host folded to lower case, last byte first
        Bookmark* record;
    };
    std::vector<Entry> entries;  // sorted by backwards
    KnownRecords known;
};

struct PageIndex {
    std::unordered_map<std::string, uint32_t> pages;  // every known record's page key, and how many have it
    KnownRecords known;
    PtrVector* duplicates;  // made from them; null when they changed since
};

namespace {

// An index made anew at its next update: never made, or a URL changed in place since.
bool made_anew(const KnownRecords* known, const Collection* collection) {
    return !known->made || known->url_changes != collection->url_changes;
}

// Brings the known records up to the collection's: fills `gone` with those
// deleted since and `added` with the places of the new ones. False when the
// index must be made anew (it never was, or a URL changed in place): then
// every record is new.
bool follow_records(KnownRecords* known, const Collection* collection, std::vector<KnownRecord>* gone,
                    std::vector<size_t>* added) {
    const bool in_step = !made_anew(known, collection);
    if (!in_step) known->records.clear();
    known->made = true;
    known->url_edits = collection->url_edits;
    known->url_changes = collection->url_changes;
    const PtrVector* records = collection->records;
    std::vector<KnownRecord> now;
    now.reserve(records->count);
    size_t i = 0;
    const std::vector<KnownRecord>& before = known->records;
    for (uint32_t j = 0; j < records->count; j++) {
        Bookmark* record = static_cast<Bookmark*>(records->items[j]);
        while (i < before.size() && before[i].serial < record->serial) gone->push_back(before[i++]);
        // Undo puts a deleted bookmark back as a new record of the same
        // identity: the known one, freed, is gone.
        if (i < before.size() && before[i].serial == record->serial && before[i].record != record)
            gone->push_back(before[i++]);
        if (i < before.size() && before[i].serial == record->serial) {
            now.push_back(before[i++]);
        } else {
            added->push_back(now.size());
            now.push_back({record->serial, record, nullptr});
        }
    }
    while (i < before.size()) gone->push_back(before[i++]);
    known->records.swap(now);
    return in_step;
}

bool is_current(const KnownRecords& known, const Collection* collection) {
    return known.made && known.url_edits == collection->url_edits && known.url_changes == collection->url_changes;
}

void add_host_entries(Bookmark* record, HostToAscii to_ascii, std::vector<HostIndex::Entry>* entries) {
    const char* host;
    size_t length;
    if (!url_host(record->url, &host, &length) || length == 0) return;
    std::string written = folded(host, length);
    const std::string converted = idna_host(written, to_ascii);
    if (!converted.empty() && converted != written)
        entries->push_back({{converted.rbegin(), converted.rend()}, record});
    entries->push_back({{written.rbegin(), written.rend()}, record});
}

bool entry_before(const HostIndex::Entry& a, const HostIndex::Entry& b) { return a.backwards < b.backwards; }

void update_host_index(HostIndex* index, const Collection* collection, HostToAscii to_ascii) {
    if (is_current(index->known, collection)) return;
    std::vector<KnownRecord> gone;
    std::vector<size_t> added;
    if (!follow_records(&index->known, collection, &gone, &added)) index->entries.clear();
    if (!gone.empty()) {
        std::vector<const Bookmark*> removed;
        for (const KnownRecord& record : gone) removed.push_back(record.record);
        std::sort(removed.begin(), removed.end());
        auto is_removed = [&removed](const HostIndex::Entry& entry) {
            return std::binary_search(removed.begin(), removed.end(), entry.record);
        };
        index->entries.erase(std::remove_if(index->entries.begin(), index->entries.end(), is_removed),
                             index->entries.end());
    }
    std::vector<HostIndex::Entry> fresh;
    for (size_t at : added) add_host_entries(index->known.records[at].record, to_ascii, &fresh);
    std::sort(fresh.begin(), fresh.end(), entry_before);
    // Merged in from the end, in place: only the entries after the first new
    // one move, and nothing is allocated while the vector has room.
    std::vector<HostIndex::Entry>& entries = index->entries;
    size_t kept = entries.size();
    size_t next = fresh.size();
    entries.resize(kept + next);
    for (size_t write = entries.size(); next > 0;) {
        if (kept > 0 && entry_before(fresh[next - 1], entries[kept - 1])) {
            entries[--write] = std::move(entries[--kept]);
        } else {
            entries[--write] = std::move(fresh[--next]);
        }
    }
}

// Appends the records whose host is the site or one of its subdomains.
void add_site_records(const HostIndex* index, const std::string& site, std::vector<Bookmark*>* found) {
    const std::string backwards(site.rbegin(), site.rend());
    auto at =
        std::lower_bound(index->entries.begin(), index->entries.end(), backwards,
                         [](const HostIndex::Entry& entry, const std::string& key) { return entry.backwards < key; });
    for (; at != index->entries.end() && at->backwards.compare(0, backwards.size(), backwards) == 0; ++at) {
        if (at->backwards.size() == backwards.size() || at->backwards[backwards.size()] == '.') {
            found->push_back(at->record);
        }
    }
}

PtrVector* site_records(RecordTerms* terms, const char* site) {
    if (!terms->hosts) terms->hosts = new HostIndex();
    update_host_index(terms->hosts, terms->collection, terms->to_ascii);
    // The site as written and in IDNA form: a host matches in either spelling,
    // so "bücher.example" finds "xn--bcher-kva.example" and the other way round.
    const std::string written = folded(site, strlen(site));
    std::vector<Bookmark*> found;
    add_site_records(terms->hosts, written, &found);
    const std::string converted = idna_host(written, terms->to_ascii);
    if (!converted.empty() && converted != written) add_site_records(terms->hosts, converted, &found);
    std::sort(found.begin(), found.end(),
              [](const Bookmark* a, const Bookmark* b) { return compare_record_identity(a, b) < 0; });
    found.erase(std::unique(found.begin(), found.end()), found.end());
    PtrVector* set = vec_create();
    vec_assign(set, reinterpret_cast<void* const*>(found.data()), static_cast<uint32_t>(found.size()));
    return set;
}

void update_page_index(PageIndex* index, const Collection* collection, HostToAscii to_ascii) {
    if (is_current(index->known, collection)) return;
    vec_destroy(index->duplicates);
    index->duplicates = nullptr;
    std::vector<KnownRecord> gone;
    std::vector<size_t> added;
    if (!follow_records(&index->known, collection, &gone, &added)) index->pages.clear();
    for (const KnownRecord& record : gone) {
        if (record.page && --record.page->second == 0) index->pages.erase(index->pages.find(record.page->first));
    }
    for (size_t at : added) {
        KnownRecord& record = index->known.records[at];
        auto found = index->pages.emplace(page_key(record.record->url, to_ascii), 0);
        found.first->second++;
        record.page = &*found.first;
    }
}

PtrVector* duplicates_copy(RecordTerms* terms) {
    if (!terms->pages) terms->pages = new PageIndex();
    PageIndex* index = terms->pages;
    update_page_index(index, terms->collection, terms->to_ascii);
    if (!index->duplicates) {
        index->duplicates = vec_create();
        for (const KnownRecord& record : index->known.records) {
            if (record.page->second > 1) vec_append(index->duplicates, record.record);
        }
    }
    PtrVector* copy = vec_create();
    vec_assign(copy, index->duplicates->items, index->duplicates->count);
    return copy;
}

void free_indexes(HostIndex* hosts, PageIndex* pages) {
    if (pages) vec_destroy(pages->duplicates);
    delete pages;
    delete hosts;
}

}  // namespace

struct RecordTermsJob {
    HostToAscii to_ascii;
    uint64_t url_edits, url_changes;   // the collection's at the copies
    std::vector<Bookmark*> originals;  // never followed: only put back in the indexes in place of the copies
    std::vector<Bookmark> copies;      // serial and URL only
    // The URLs end to end, each ended by a zero: one block, not a hundred
    // thousand, so that the two threads seldom meet in the heap.
    std::string urls;
    HostIndex* hosts;
    PageIndex* pages;
};

bool record_terms_due(const RecordTerms* terms) {
    return !terms->hosts || !terms->pages || made_anew(&terms->hosts->known, terms->collection) ||
           made_anew(&terms->pages->known, terms->collection);
}

RecordTermsJob* copy_for_record_terms(const RecordTerms* terms) {
    const Collection* collection = terms->collection;
    const PtrVector* records = collection->records;
    RecordTermsJob* job = new RecordTermsJob();
    job->to_ascii = terms->to_ascii;
    job->url_edits = collection->url_edits;
    job->url_changes = collection->url_changes;
    job->originals.assign(reinterpret_cast<Bookmark* const*>(records->items),
                          reinterpret_cast<Bookmark* const*>(records->items) + records->count);
    std::vector<size_t> starts;
    starts.reserve(records->count);
    for (const Bookmark* record : job->originals) {
        starts.push_back(job->urls.size());
        job->urls.append(record->url).push_back('\0');
    }
    job->copies.resize(records->count, Bookmark{});
    for (size_t i = 0; i < job->copies.size(); i++) {
        job->copies[i].serial = job->originals[i]->serial;
        job->copies[i].url = &job->urls[starts[i]];
    }
    return job;
}

void make_record_terms(RecordTermsJob* job) {
    Collection copy = {};
    copy.records = vec_create();
    for (Bookmark& record : job->copies) vec_append(copy.records, &record);
    copy.url_edits = job->url_edits;
    copy.url_changes = job->url_changes;
    job->hosts = new HostIndex();
    update_host_index(job->hosts, &copy, job->to_ascii);
    job->pages = new PageIndex();
    update_page_index(job->pages, &copy, job->to_ascii);
    vec_destroy(copy.records);
    // The copies were in the records' order, so each stands for the original at its place.
    for (HostIndex::Entry& entry : job->hosts->entries)
        entry.record = job->originals[entry.record - job->copies.data()];
    for (size_t i = 0; i < job->originals.size(); i++) {
        job->hosts->known.records[i].record = job->originals[i];
        job->pages->known.records[i].record = job->originals[i];
    }
}

void take_record_terms(RecordTerms* terms, RecordTermsJob* job) {
    const Collection* collection = terms->collection;
    // One made before a URL changed in place is made anew at the next search, as the one it replaces would be.
    if (job->hosts) {
        if (!terms->hosts || made_anew(&terms->hosts->known, collection)) std::swap(terms->hosts, job->hosts);
        if (!terms->pages || made_anew(&terms->pages->known, collection)) std::swap(terms->pages, job->pages);
    }
    free_record_terms_job(job);
}

void free_record_terms_job(RecordTermsJob* job) {
    free_indexes(job->hosts, job->pages);
    delete job;
}

RecordTerms create_record_terms(const Collection* collection, HostToAscii to_ascii) {
    RecordTerms terms = {};
    terms.collection = collection;
    terms.to_ascii = to_ascii;
    return terms;
}

void free_record_terms(RecordTerms* terms) {
    free_indexes(terms->hosts, terms->pages);
    terms->pages = nullptr;
    terms->hosts = nullptr;
}

bool record_in_state(const Bookmark* record, SearchState state) {
    switch (state) {
        case STATE_BROKEN:
            return shown_state(record) == SHOWN_BROKEN;
        case STATE_SUSPECT:
            return shown_state(record) == SHOWN_SUSPECT;
        case STATE_CHANGED:
            return shown_state(record) == SHOWN_CHANGED;
        case STATE_MOVED:
            return record->verdict == VERDICT_MOVED;
        case STATE_BLOCKED:
            return record->verdict == VERDICT_BLOCKED;
        case STATE_UNCHECKED:
            return record->last_check == 0 || record->verdict == VERDICT_NOT_CHECKED;
        default:
            return false;
    }
}

PtrVector* record_term_records(void* context, const SearchNode* term) {
    RecordTerms* terms = static_cast<RecordTerms*>(context);
    if (term->kind == NODE_SITE) return site_records(terms, term->word);
    if (term->state == STATE_DUPLICATE) return duplicates_copy(terms);
    const PtrVector* records = terms->collection->records;
    PtrVector* set = vec_create();
    for (uint32_t i = 0; i < records->count; i++) {
        if (record_in_state(static_cast<const Bookmark*>(records->items[i]), term->state)) {
            vec_append(set, records->items[i]);
        }
    }
    return set;
}
