// Bookmarks of the same page under different addresses (page_key), and
// the merging of each such group into one bookmark.
#pragma once

#include <vector>

#include "collection/page_address.h"
#include "core/bookmark.h"
#include "core/containers.h"

struct Collection;

typedef std::vector<Bookmark*> DuplicateGroup;

// Every group of two or more records (Bookmark*) with the same page key, each
// in record identity order; the groups in the order of their first records.
// With to_ascii, a host and its IDNA form are one (page_key).
std::vector<DuplicateGroup> find_duplicates(const PtrVector* records, HostToAscii to_ascii = nullptr);

enum KeeperRule {
    KEEP_OLDEST,  // the earliest add date: the default, the bookmark kept longest
    KEEP_NEWEST,  // the latest add date
};

// The bookmark of a group that the rule keeps. A bookmark without an add date
// is never preferred to one with a date; among equal dates the oldest rule
// takes the first in identity order and the newest rule the last.
Bookmark* choose_keeper(const DuplicateGroup& group, KeeperRule rule);

// Keeps `keeper`, one of the group: the keywords of the others (their
// descriptions among them) join its own, and the others are deleted from the
// collection. False, and nothing changed, when the keeper is not in the group.
bool merge_duplicates(Collection* collection, const DuplicateGroup& group, Bookmark* keeper);
