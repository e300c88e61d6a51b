#include "tests/search/keyword_index_invariants.h"

#include <cstring>
#include <set>
#include <utility>

#include "core/bookmark.h"

namespace {

template <typename T>
const T* at(const PtrVector* vec, uint32_t i) {
    return static_cast<const T*>(vec->items[i]);
}

}  // namespace

std::string check_keyword_index(const KeywordIndex* index, const PtrVector* records) {
    const std::set<const void*> live(records->items, records->items + records->count);
    // (record, entry) pairs as the entries' record lists give them, and as the records' sets do.
    std::set<std::pair<const void*, const void*>> listed, held;
    // Entries of an open batch are not yet in `entries`, in no order.
    const PtrVector* entries = index->entries;
    const uint32_t batched = index->batch ? index->batch->count : 0;
    if (index->by_word->count != entries->count + batched) return "look-up table disagrees with entries";
    for (uint32_t i = 0; i < entries->count + batched; i++) {
        const WordEntry* entry =
            i < entries->count ? at<WordEntry>(entries, i) : at<WordEntry>(index->batch, i - entries->count);
        const std::string word = entry->word;
        if (i > 0 && i < entries->count && strcmp(at<WordEntry>(entries, i - 1)->word, entry->word) >= 0) {
            return "entries out of byte order at " + word;
        }
        if (find_word_entry(index, entry->word) != entry) return "word does not lead to its entry: " + word;
        if (entry->records->count == 0) return "entry without records: " + word;
        for (uint32_t j = 0; j < entry->records->count; j++) {
            const Bookmark* record = at<Bookmark>(entry->records, j);
            if (j > 0 && at<Bookmark>(entry->records, j - 1)->serial >= record->serial) {
                return "record list out of identity order: " + word;
            }
            if (!live.count(record)) return "entry lists a record that is gone: " + word;
            if (record->serial > index->newest_serial) return "record newer than the newest linked: " + word;
            listed.insert({record, entry});
        }
    }
    for (const void* record : live) {
        const KeywordSet* set = static_cast<const Bookmark*>(record)->keywords;
        for (uint32_t i = 0; set && i < set->entries->count; i++) {
            const WordEntry* entry = at<WordEntry>(set->entries, i);
            if (!held.insert({record, entry}).second) return std::string("set holds twice: ") + entry->word;
        }
    }
    return listed == held ? std::string() : "record lists and keyword sets disagree";
}
