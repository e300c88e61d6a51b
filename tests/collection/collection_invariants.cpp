#include "tests/collection/collection_invariants.h"

#include <set>

#include "search/keyword_index.h"
#include "tests/search/keyword_index_invariants.h"
#include "tests/take_text.h"

namespace {

const Bookmark* record_at(const PtrVector* vec, uint32_t i) { return static_cast<const Bookmark*>(vec->items[i]); }

}  // namespace

std::string check_collection(const Collection* collection) {
    const PtrVector* records = collection->records;
    std::set<const Bookmark*> live;
    for (uint32_t i = 0; i < records->count; i++) {
        const Bookmark* record = record_at(records, i);
        if (i > 0 && record_at(records, i - 1)->serial >= record->serial) {
            return "records out of identity order";
        }
        if (record->serial >= collection->next_serial) return "serial not yet handed out";
        live.insert(record);
    }

    const PtrVector* by_url = collection->records_by_url;
    for (uint32_t i = 0; i < by_url->count; i++) {
        const Bookmark* record = record_at(by_url, i);
        if (i > 0 && compare_urls(record_at(by_url, i - 1)->url, record->url) >= 0) {
            return "records_by_url out of order at " + std::string(record->url);
        }
        if (!live.count(record)) return "records_by_url holds a record not in records";
    }
    for (const Bookmark* record : live) {
        const Bookmark* found = find_by_url(collection, record->url);
        if (!found || compare_urls(found->url, record->url) != 0) {
            return "URL does not lead to a record: " + std::string(record->url);
        }
    }
    return check_keyword_index(collection->keyword_index, records);
}

std::string dump_records(const Collection* collection) {
    std::string out;
    for (uint32_t i = 0; i < collection->records->count; i++) {
        const Bookmark* b = record_at(collection->records, i);
        out += std::string(b->url) + "|" + b->title + "|" + take_text(keyword_set_text(b->keywords));
        for (uint32_t date : {b->added, b->last_visit, b->last_modified}) {
            out += "|" + (is_real_date(date) ? std::to_string(date) : std::string("U"));
        }
        if (b->folder) out += std::string("|in ") + b->folder;
        out += "\n";
    }
    return out;
}

std::string dump_every_field(const Collection* collection) {
    std::string out;
    for (uint32_t i = 0; i < collection->records->count; i++) {
        const Bookmark* r = record_at(collection->records, i);
        out += std::string(r->url) + "|" + r->title + "|" +
               (r->keywords ? take_text(keyword_set_text(r->keywords)) : "(no set)") + "|" +
               (r->folder ? r->folder : "-");
        for (uint32_t n : {r->added, r->last_visit, r->last_modified, r->last_check, r->first_failure,
                           static_cast<uint32_t>(r->http_status), static_cast<uint32_t>(r->verdict),
                           static_cast<uint32_t>(r->check_error)}) {
            out += "|" + std::to_string(n);
        }
        out += std::string("|") + (r->moved_to ? r->moved_to : "-") + "|" + (r->archive ? r->archive : "-") + "\n";
    }
    return out;
}

std::string term_records(RecordTerms* terms, const char* expression) {
    SearchNode* term = parse_search_expression(expression);
    if (!term) return "(not a term)";
    PtrVector* set = record_term_records(terms, term);
    free_search_tree(term);
    std::string out;
    for (uint32_t i = 0; i < set->count; i++) {
        out += (out.empty() ? "" : " ") + std::to_string(vec_index_of(terms->collection->records, set->items[i]));
    }
    vec_destroy(set);
    return out;
}
