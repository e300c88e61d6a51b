// Bookmarks whose pages have moved, and giving them their new addresses.
#pragma once

#include <vector>

#include "core/bookmark.h"
#include "core/containers.h"

struct Collection;
struct UndoHistory;

// The records (Bookmark*) whose last check found their page moved to a new
// address, in identity order.
std::vector<Bookmark*> moved_records(const PtrVector* records);

enum FollowOutcome {
    FOLLOW_NONE,    // the record has no new address
    FOLLOW_MOVED,   // the record now has its new address, with nothing known of it yet
    FOLLOW_MERGED,  // another bookmark has the new address: it keeps the record's keywords, the record is deleted
};

// Gives a moved record its new address, as taking the new address in its
// Properties does: what the checks found at the old address is forgotten.
// The bookmark another record has at that address is kept (it has been
// checked there); the record joins it as a duplicate does. With a history,
// the records changed are noted in its open step first.
FollowOutcome follow_moved_address(Collection* collection, Bookmark* record, UndoHistory* history = nullptr);
