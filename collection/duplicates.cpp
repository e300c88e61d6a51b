// Duplicate groups by page key, their keepers and their merging.
#include "collection/duplicates.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <unordered_map>

#include "collection/collection.h"
#include "collection/page_address.h"
#include "search/keyword_index.h"

std::vector<DuplicateGroup> find_duplicates(const PtrVector* records, HostToAscii to_ascii) {
    // Each key's group, numbered in the order of the group's first record.
    std::unordered_map<std::string, uint32_t> group_of;
    group_of.reserve(records->count);
    std::vector<DuplicateGroup> all;
    for (uint32_t i = 0; i < records->count; i++) {
        Bookmark* record = static_cast<Bookmark*>(records->items[i]);
        auto found = group_of.emplace(page_key(record->url, to_ascii), static_cast<uint32_t>(all.size()));
        if (found.second) all.emplace_back();
        all[found.first->second].push_back(record);
    }
    std::vector<DuplicateGroup> groups;
    for (DuplicateGroup& group : all) {
        if (group.size() > 1) groups.push_back(std::move(group));
    }
    return groups;
}

Bookmark* choose_keeper(const DuplicateGroup& group, KeeperRule rule) {
    Bookmark* keeper = nullptr;
    for (Bookmark* record : group) {
        if (!keeper) {
            keeper = record;
            continue;
        }
        const bool dated = is_real_date(record->added), keeper_dated = is_real_date(keeper->added);
        if (dated != keeper_dated) {
            if (dated) keeper = record;
        } else if (rule == KEEP_OLDEST ? record->added < keeper->added : record->added >= keeper->added) {
            keeper = record;
        }
    }
    return keeper;
}

bool merge_duplicates(Collection* collection, const DuplicateGroup& group, Bookmark* keeper) {
    if (std::find(group.begin(), group.end(), keeper) == group.end()) return false;
    TextBuffer words = tb_empty();
    append_keyword_set_text(&words, keeper->keywords);
    for (Bookmark* record : group) {
        if (record == keeper) continue;
        tb_append_char(&words, ' ');
        append_keyword_set_text(&words, record->keywords);
    }
    set_bookmark_keywords(collection, keeper, tb_text(words));
    tb_free(&words);
    for (Bookmark* record : group) {
        if (record != keeper) delete_record(collection, record);
    }
    return true;
}
