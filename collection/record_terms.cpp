// site: and is: over the collection's records.
#include "collection/record_terms.h"

#include <cstdlib>
#include <cstring>
#include <string>

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

// The host is the site or one of its subdomains, A-Z case ignored.
bool in_site(const char* host, size_t length, const std::string& site) {
    if (site.empty() || length < site.size()) return false;
    const size_t tail = length - site.size();
    if (tail > 0 && host[tail - 1] != '.') return false;
    for (size_t i = 0; i < site.size(); i++) {
        if (fold_ascii(host[tail + i]) != site[i]) return false;
    }
    return true;
}

bool is_ascii(const char* text, size_t length) {
    for (size_t i = 0; i < length; i++) {
        if (static_cast<unsigned char>(text[i]) >= 0x80) return false;
    }
    return true;
}

// The site as written and in IDNA form: a host matches in either spelling,
// so "bücher.example" finds "xn--bcher-kva.example" and the other way round.
struct Site {
    std::string written;
    std::string ascii;
};

Site site_of(const char* host, HostToAscii to_ascii) {
    Site site;
    site.written = folded(host, strlen(host));
    char* ascii = to_ascii ? to_ascii(host) : nullptr;
    site.ascii = ascii ? folded(ascii, strlen(ascii)) : site.written;
    free(ascii);
    return site;
}

bool record_in_site(const Bookmark* record, const Site& site, HostToAscii to_ascii) {
    const char* host;
    size_t length;
    if (!url_host(record->url, &host, &length) || length == 0) return false;
    if (in_site(host, length, site.written) || in_site(host, length, site.ascii)) return true;
    // Few hosts are written beyond ASCII: only these are converted.
    if (!to_ascii || is_ascii(host, length)) return false;
    char* ascii = to_ascii(std::string(host, length).c_str());
    const bool in = ascii && in_site(ascii, strlen(ascii), site.ascii);
    free(ascii);
    return in;
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
    if (term->kind == NODE_STATE && term->state == STATE_DUPLICATE) return duplicates_copy(terms);
    const PtrVector* records = terms->collection->records;
    PtrVector* set = vec_create();
    if (term->kind == NODE_SITE) {
        const Site site = site_of(term->word, terms->to_ascii);
        for (uint32_t i = 0; i < records->count; i++) {
            const Bookmark* record = static_cast<const Bookmark*>(records->items[i]);
            if (record_in_site(record, site, terms->to_ascii)) vec_append(set, records->items[i]);
        }
    } else if (term->kind == NODE_STATE) {
        for (uint32_t i = 0; i < records->count; i++) {
            if (record_in_state(static_cast<const Bookmark*>(records->items[i]), term->state)) {
                vec_append(set, records->items[i]);
            }
        }
    }
    return set;
}
