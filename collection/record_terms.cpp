// site: and is: over the collection's records.
#include "collection/record_terms.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "collection/check_state.h"
#include "collection/collection.h"
#include "collection/duplicates.h"
#include "collection/page_address.h"

namespace {

std::string folded(const char* text, size_t length) {
    std::string out(text, length);
    for (char& c : out) c = fold_ascii(c);
    return out;
}

bool is_ascii(const std::string& text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

}  // namespace

struct HostIndex {
    struct Entry {
        std::string backwards;  // the host folded to lower case, last byte first
        Bookmark* record;
    };
    std::vector<Entry> entries;
};

namespace {

HostIndex* make_host_index(const PtrVector* records, HostToAscii to_ascii) {
    HostIndex* index = new HostIndex;
    index->entries.reserve(records->count);
    for (uint32_t i = 0; i < records->count; i++) {
        Bookmark* record = static_cast<Bookmark*>(records->items[i]);
        const char* host;
        size_t length;
        if (!url_host(record->url, &host, &length) || length == 0) continue;
        std::string written = folded(host, length);
        // Few hosts are written beyond ASCII: only these are converted.
        char* ascii = to_ascii && !is_ascii(written) ? to_ascii(written.c_str()) : nullptr;
        if (ascii) {
            std::string converted = folded(ascii, strlen(ascii));
            if (converted != written) index->entries.push_back({{converted.rbegin(), converted.rend()}, record});
            free(ascii);
        }
        index->entries.push_back({{written.rbegin(), written.rend()}, record});
    }
    std::sort(index->entries.begin(), index->entries.end(),
              [](const HostIndex::Entry& a, const HostIndex::Entry& b) { return a.backwards < b.backwards; });
    return index;
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
    const Collection* collection = terms->collection;
    if (!terms->hosts || terms->hosts_edits != collection->edits) {
        delete terms->hosts;
        terms->hosts = make_host_index(collection->records, terms->to_ascii);
        terms->hosts_edits = collection->edits;
    }
    // The site as written and in IDNA form: a host matches in either spelling,
    // so "bücher.example" finds "xn--bcher-kva.example" and the other way round.
    const std::string written = folded(site, strlen(site));
    std::vector<Bookmark*> found;
    add_site_records(terms->hosts, written, &found);
    char* ascii = terms->to_ascii && !is_ascii(written) ? terms->to_ascii(site) : nullptr;
    if (ascii) {
        const std::string converted = folded(ascii, strlen(ascii));
        if (converted != written) add_site_records(terms->hosts, converted, &found);
        free(ascii);
    }
    std::sort(found.begin(), found.end(),
              [](const Bookmark* a, const Bookmark* b) { return compare_record_identity(a, b) < 0; });
    found.erase(std::unique(found.begin(), found.end()), found.end());
    PtrVector* set = vec_create();
    vec_assign(set, reinterpret_cast<void* const*>(found.data()), static_cast<uint32_t>(found.size()));
    return set;
}

PtrVector* duplicates_copy(RecordTerms* terms) {
    const Collection* collection = terms->collection;
    if (!terms->duplicates || terms->duplicates_edits != collection->edits) {
        vec_destroy(terms->duplicates);
        terms->duplicates = duplicate_records(collection->records);
        terms->duplicates_edits = collection->edits;
    }
    PtrVector* copy = vec_create();
    vec_assign(copy, terms->duplicates->items, terms->duplicates->count);
    return copy;
}

}  // namespace

RecordTerms create_record_terms(const Collection* collection, HostToAscii to_ascii) {
    RecordTerms terms = {};
    terms.collection = collection;
    terms.to_ascii = to_ascii;
    return terms;
}

void free_record_terms(RecordTerms* terms) {
    vec_destroy(terms->duplicates);
    terms->duplicates = nullptr;
    delete terms->hosts;
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
