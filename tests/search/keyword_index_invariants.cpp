#include "tests/search/keyword_index_invariants.h"

#include <algorithm>
#include <cstring>
#include <set>

#include "core/bookmark.h"

namespace {

const WordEntry* entry_at(const PtrVector* vec, uint32_t i) { return static_cast<const WordEntry*>(vec->items[i]); }

const Bookmark* record_at(const PtrVector* vec, uint32_t i) { return static_cast<const Bookmark*>(vec->items[i]); }

bool set_holds(const KeywordSet* set, const WordEntry* entry) {
    return set && std::find(set->entries->items, set->entries->items + set->entries->count, entry) !=
                      set->entries->items + set->entries->count;
}

}  // namespace

std::string check_keyword_index(const KeywordIndex* index, const PtrVector* records) {
    std::set<const Bookmark*> live;
    for (uint32_t i = 0; i < records->count; i++) live.insert(record_at(records, i));

    size_t links = 0;
    // Entries of an open batch are not yet in `entries`, in no order.
    const PtrVector* entries = index->entries;
    const uint32_t batched = index->batch ? index->batch->count : 0;
    if (index->by_word->count != entries->count + batched) return "look-up table disagrees with entries";
    for (uint32_t i = 0; i < entries->count + batched; i++) {
        const WordEntry* entry = i < entries->count ? entry_at(entries, i) : entry_at(index->batch, i - entries->count);
        std::string word = entry->word;
        if (i > 0 && i < entries->count && strcmp(entry_at(entries, i - 1)->word, entry->word) >= 0) {
            return "entries out of byte order at " + word;
        }
        if (find_word_entry(index, entry->word) != entry) return "word does not lead to its entry: " + word;
        if (entry->records->count == 0) return "entry without records: " + word;
        for (uint32_t j = 0; j < entry->records->count; j++) {
            const Bookmark* record = record_at(entry->records, j);
            if (j > 0 && record_at(entry->records, j - 1)->serial >= record->serial) {
                return "record list out of identity order: " + word;
            }
            if (!live.count(record)) return "entry lists a record that is gone: " + word;
            if (record->serial > index->newest_serial) return "record newer than the newest linked: " + word;
            if (!set_holds(record->keywords, entry)) return "record listed under a word its set lacks: " + word;
        }
        links += entry->records->count;
    }

    size_t set_links = 0;
    for (const Bookmark* record : live) {
        if (!record->keywords) continue;
        const PtrVector* set = record->keywords->entries;
        std::set<const void*> seen;
        for (uint32_t i = 0; i < set->count; i++) {
            const WordEntry* entry = entry_at(set, i);
            if (!seen.insert(entry).second) return std::string("set holds twice: ") + entry->word;
            if (find_word_entry(index, entry->word) != entry) {
                return std::string("set holds an entry not in the index: ") + entry->word;
            }
        }
        set_links += set->count;
    }
    // Every list member is in the matching set (above), so equal totals make
    // every set member a list member too.
    if (links != set_links) return "record lists and keyword sets disagree";
    return std::string();
}
