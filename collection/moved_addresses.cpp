// Moved bookmarks and their new addresses.
#include "collection/moved_addresses.h"

#include <cstdlib>

#include "collection/check_state.h"
#include "collection/collection.h"
#include "collection/duplicates.h"
#include "collection/undo_history.h"

std::vector<Bookmark*> moved_records(const PtrVector* records) {
    std::vector<Bookmark*> moved;
    for (uint32_t i = 0; i < records->count; i++) {
        Bookmark* record = static_cast<Bookmark*>(records->items[i]);
        if (record->verdict == VERDICT_MOVED && record->moved_to) moved.push_back(record);
    }
    return moved;
}

FollowOutcome follow_moved_address(Collection* collection, Bookmark* record, UndoHistory* history) {
    if (record->verdict != VERDICT_MOVED || !record->moved_to) return FOLLOW_NONE;
    char* url = tidy_url(str_dup(record->moved_to));
    if (!is_storable_url(url)) {
        free(url);
        return FOLLOW_NONE;
    }
    Bookmark* holder = find_by_url(collection, url);
    if (history) {
        note_undo_record(history, record);
        if (holder) note_undo_record(history, holder);
    }
    if (holder && holder != record) {
        free(url);
        merge_duplicates(collection, {holder, record}, holder);
        return FOLLOW_MERGED;
    }
    forget_check(record);
    free(record->url);
    record->url = url;
    reposition_by_url(collection, record);
    return FOLLOW_MOVED;
}
